#include "fatturapa/ValidatoreFatturaPA.h"

#include "fatturapa/BustaP7m.h"
#include "fatturapa/ControlliAliquote.h"
#include "fatturapa/ControlliIdentita.h"
#include "fatturapa/ControlliImporti.h"
#include "fatturapa/ControlliTrasmissione.h"
#include "fatturapa/NodoXml.h"
#include "fatturapa/SchemaFatturaPA.h"
#include "platform/LetturaFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <libxml/parser.h>

#include <limits>
#include <memory>

namespace {

using Documento = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

// No network, no DTD, no entity expansion; errors are collected, not printed.
constexpr int opzioniLettura =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;

Documento leggiDocumento(const QByteArray& contenuto, const QString& nomeFile,
                         QList<Problema>& problemi) {
    if (contenuto.size() > std::numeric_limits<int>::max()) {
        problemi.append({QStringLiteral("00200"), QStringLiteral("file troppo grande")});
        return Documento(nullptr, xmlFreeDoc);
    }
    const std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(xmlNewParserCtxt(),
                                                                            xmlFreeParserCtxt);
    Documento documento(xmlCtxtReadMemory(ctxt.get(), contenuto.constData(), int(contenuto.size()),
                                          QFile::encodeName(nomeFile).constData(), nullptr,
                                          opzioniLettura),
                        xmlFreeDoc);
    if (!documento || !ctxt->wellFormed) {
        const xmlError* errore = xmlCtxtGetLastError(ctxt.get());
        problemi.append(
            {QStringLiteral("00200"), QStringLiteral("XML non ben formato, ") +
                                          (errore ? SchemaFatturaPA::testoErrore(*errore)
                                                  : QStringLiteral("documento illeggibile"))});
        documento.reset();
    }
    return documento;
}

// The numbers of a document hold at least one digit.
void numero(const NodoXml& corpo, QList<Problema>& problemi) {
    static const QRegularExpression cifra(QStringLiteral("[0-9]"));
    const QString numero = corpo.testo("DatiGenerali/DatiGeneraliDocumento/Numero");
    if (!numero.contains(cifra)) {
        problemi.append({QStringLiteral("00425"),
                         QStringLiteral("Numero del documento «%1» senza cifre").arg(numero)});
    }
}

// Header checks once, then the checks of each body; with several bodies the
// texts say which one.
QList<Problema> controlliContenuto(const xmlDoc* documento) {
    const NodoXml radice(xmlDocGetRootElement(documento));
    QList<Problema> problemi = ControlliTrasmissione::intestazione(radice);
    problemi += controlliIdentitaCommittente(radice);
    const QList<NodoXml> corpi = radice.tutti("FatturaElettronicaBody");
    for (qsizetype i = 0; i < corpi.size(); ++i) {
        QList<Problema> delCorpo;
        numero(corpi[i], delCorpo);
        delCorpo += ControlliAliquote::esegui(corpi[i]);
        delCorpo += ControlliImporti::esegui(corpi[i]);
        for (Problema& p : delCorpo) {
            if (corpi.size() > 1)
                p.testo = QStringLiteral("fattura %1, %2").arg(i + 1).arg(p.testo);
            problemi.append(p);
        }
    }
    return problemi;
}

} // namespace

ValidatoreFatturaPA::ValidatoreFatturaPA() : m_schema(SchemaFatturaPA::condiviso()) {}

ValidatoreFatturaPA::ValidatoreFatturaPA(const SchemaFatturaPA& schema) : m_schema(schema) {}

bool ValidatoreFatturaPA::pronto() const {
    return m_schema.caricato();
}

QList<Problema> ValidatoreFatturaPA::valida(const QString& percorsoFile) const {
    const LetturaFile file = LetturaFile::leggi(percorsoFile, massimoByte);
    if (!file.letto()) return {{QString(), file.errore}};
    return valida(file.contenuto, QFileInfo(percorsoFile).fileName());
}

QList<Problema> ValidatoreFatturaPA::valida(const QByteArray& contenuto,
                                            const QString& nomeFile) const {
    QList<Problema> problemi;
    QByteArray xml = contenuto;
    if (BustaP7m::firmato(nomeFile)) {
        const BustaP7m::Contenuto busta = BustaP7m::apri(contenuto);
        if (!busta.aperta) {
            return ControlliTrasmissione::nomeFile(nomeFile, QString()) +
                   QList<Problema>{{QStringLiteral("00102"), busta.errore}};
        }
        if (busta.firma == BustaP7m::Firma::NonValida)
            problemi.append({QStringLiteral("00102"), busta.descrizioneFirma()});
        xml = busta.documento;
    }
    const Documento documento = leggiDocumento(xml, nomeFile, problemi);
    const NodoXml radice(documento ? xmlDocGetRootElement(documento.get()) : nullptr);
    const QString trasmittente = ControlliTrasmissione::trasmittente(radice);
    problemi = ControlliTrasmissione::nomeFile(nomeFile, trasmittente) + problemi;
    if (!documento) return problemi;
    const QList<Problema> formato = m_schema.valida(documento.get());
    if (!formato.isEmpty()) return problemi + formato;
    return problemi + controlliContenuto(documento.get());
}
