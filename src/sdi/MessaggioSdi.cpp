#include "sdi/MessaggioSdi.h"

#include "fatturapa/NodoXml.h"

#include <libxml/parser.h>

#include <limits>
#include <memory>

namespace {

using L = QLatin1StringView;

constexpr char kSpazioNuovo[] =
    "http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fattura/messaggi/v1.0";
constexpr char kSpazioVecchio[] = "http://www.fatturapa.gov.it/sdi/messaggi/v1.0";

struct Radice {
    const char* nome;
    const char* tipo;
};

// The root elements of each namespace and the type they carry.
constexpr Radice kRadiciNuove[] = {
    {"RicevutaConsegna", "RC"},
    {"RicevutaScarto", "NS"},
    {"RicevutaImpossibilitaRecapito", "MC"},
    {"NotificaEsito", "NE"},
    {"NotificaDecorrenzaTermini", "DT"},
    {"AttestazioneTrasmissioneFattura", "AT"},
    {"FileMetadati", "MT"},
};
constexpr Radice kRadiciVecchie[] = {
    {"RicevutaConsegna", "RC"},          {"NotificaScarto", "NS"},
    {"NotificaMancataConsegna", "MC"},   {"NotificaEsito", "NE"},
    {"NotificaDecorrenzaTermini", "DT"}, {"AttestazioneTrasmissioneFattura", "AT"},
    {"MetadatiInvioFile", "MT"},
};

struct LiberaDoc {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};

QDateTime dataOra(const QString& testo) {
    // The offset is dropped: the time is kept as the exchange system wrote it.
    QDateTime d = QDateTime::fromString(testo.left(19), Qt::ISODate);
    return d.isValid() ? d : QDateTime();
}

template <size_t N> QString tipoDi(const Radice (&radici)[N], QByteArrayView nome) {
    for (const Radice& r : radici) {
        if (nome == QByteArrayView(r.nome)) return QString::fromLatin1(r.tipo);
    }
    return {};
}

FileSdi illeggibile(const QString& motivo) {
    FileSdi f;
    f.errore = motivo;
    return f;
}

} // namespace

FileSdi leggiFileSdi(const QByteArray& dati, const QString& nome) {
    FileSdi f;
    QByteArray xml = dati;
    if (BustaP7m::firmato(nome)) {
        const BustaP7m::Contenuto busta = BustaP7m::apri(dati);
        if (!busta.aperta) return illeggibile(busta.errore);
        f.firmato = true;
        f.firma = busta.firma;
        xml = busta.documento;
    }
    if (xml.size() > std::numeric_limits<int>::max())
        return illeggibile(QStringLiteral("file troppo grande"));
    std::unique_ptr<xmlDoc, LiberaDoc> doc(
        xmlReadMemory(xml.constData(), int(xml.size()), nullptr, nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc) {
        const xmlError* e = xmlGetLastError();
        const QString motivo = e && e->message ? QString::fromUtf8(e->message).trimmed()
                                               : QStringLiteral("XML non valido");
        xmlResetLastError();
        return illeggibile(QStringLiteral("XML non leggibile: %1").arg(motivo));
    }
    xmlNode* radice = xmlDocGetRootElement(doc.get());
    if (!radice) return illeggibile(QStringLiteral("documento XML vuoto"));
    const NodoXml r(radice);
    const QByteArrayView nomeRadice = r.nome();
    const QByteArray spazio = radice->ns && radice->ns->href
                                  ? QByteArray(reinterpret_cast<const char*>(radice->ns->href))
                                  : QByteArray();
    f.xml = xml;
    if (nomeRadice == QByteArrayView("FatturaElettronica")) {
        f.genere = FileSdi::Genere::Fattura;
        return f;
    }
    if (spazio == kSpazioNuovo)
        f.tipo = tipoDi(kRadiciNuove, nomeRadice);
    else if (spazio == kSpazioVecchio)
        f.tipo = tipoDi(kRadiciVecchie, nomeRadice);
    if (f.tipo.isEmpty())
        return illeggibile(QStringLiteral("elemento radice %1 (spazio dei nomi «%2») non è un "
                                          "messaggio dello SDI")
                               .arg(QString::fromUtf8(nomeRadice.data(), nomeRadice.size()),
                                    QString::fromUtf8(spazio)));
    f.identificativoSdi = r.testo("IdentificativoSdI");
    f.nomeFile = r.testo("NomeFile");
    f.messageId = r.testo("MessageId");
    if (f.identificativoSdi.isEmpty() || f.nomeFile.isEmpty())
        return illeggibile(QStringLiteral("messaggio %1 dello SDI senza %2")
                               .arg(f.tipo, f.identificativoSdi.isEmpty()
                                                ? QStringLiteral("IdentificativoSdI")
                                                : QStringLiteral("NomeFile")));
    if (f.identificativoSdi.size() > 20 || f.messageId.size() > 20 || f.nomeFile.size() > 100)
        return illeggibile(
            QStringLiteral("messaggio %1 dello SDI con identificativi troppo lunghi").arg(f.tipo));
    f.dataRicezione = dataOra(r.testo("DataOraRicezione"));
    f.dataConsegna = dataOra(r.testo("DataOraConsegna"));
    f.descrizione = r.testo("Descrizione");
    if (f.tipo == u"NE") {
        f.esito = r.testo("EsitoCommittente/Esito");
        f.descrizione = r.testo("EsitoCommittente/Descrizione");
        if (f.esito != u"EC01" && f.esito != u"EC02")
            return illeggibile(QStringLiteral("notifica di esito senza esito EC01 o EC02"));
    }
    for (const NodoXml& e : r.tutti("ListaErrori/Errore"))
        f.errori.append({e.testo("Codice"), e.testo("Descrizione"), e.testo("Suggerimento")});
    f.genere = f.tipo == u"MT" ? FileSdi::Genere::Metadati : FileSdi::Genere::Notifica;
    return f;
}

QString descrizioneTipoSdi(const QString& tipo) {
    if (tipo == u"RC") return QStringLiteral("ricevuta di consegna");
    if (tipo == u"NS") return QStringLiteral("notifica di scarto");
    if (tipo == u"MC") return QStringLiteral("notifica di mancata consegna");
    if (tipo == u"NE") return QStringLiteral("notifica di esito");
    if (tipo == u"DT") return QStringLiteral("notifica di decorrenza termini");
    if (tipo == u"AT") return QStringLiteral("attestazione di avvenuta trasmissione");
    if (tipo == u"MT") return QStringLiteral("metadati");
    return tipo;
}
