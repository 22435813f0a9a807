#include "fatturapa/ControlliAliquote.h"

#include "fatturapa/ChiaveIva.h"

#include <QSet>

#include <optional>
#include <set>

namespace {

// Since 2021 these natures are refused in favour of their sub-codes.
const QSet<QString> natureGeneriche{QStringLiteral("N2"), QStringLiteral("N3"),
                                    QStringLiteral("N6")};

QString rigaDettaglio(const NodoXml& riga) {
    return QStringLiteral("riga %1").arg(riga.testo("NumeroLinea"));
}

QString cassa(const NodoXml& blocco) {
    return QStringLiteral("cassa previdenziale %1").arg(blocco.testo("TipoCassa"));
}

QString riepilogo(const NodoXml& blocco) {
    return QStringLiteral("riepilogo con aliquota %1%").arg(blocco.testo("AliquotaIVA"));
}

struct Insiemi {
    std::set<Decimale> aliquote;
    std::set<QString> nature;

    void aggiungi(const NodoXml& blocco) {
        const std::optional<ChiaveIva> chiave = ChiaveIva::di(blocco);
        if (!chiave) return;
        aliquote.insert(chiave->aliquota());
        if (!chiave->natura().isEmpty()) nature.insert(chiave->natura());
    }
};

} // namespace

QList<Problema> ControlliAliquote::esegui(const NodoXml& corpo) {
    QList<Problema> problemi;
    const QList<NodoXml> righe = corpo.tutti("DatiBeniServizi/DettaglioLinee");
    const QList<NodoXml> casse =
        corpo.tutti("DatiGenerali/DatiGeneraliDocumento/DatiCassaPrevidenziale");
    const QList<NodoXml> riepiloghi = corpo.tutti("DatiBeniServizi/DatiRiepilogo");
    for (const NodoXml& riga : righe)
        natura(riga, rigaDettaglio(riga), {"00400", "00401"}, problemi);
    for (const NodoXml& blocco : casse)
        natura(blocco, cassa(blocco), {"00413", "00414"}, problemi);
    for (const NodoXml& blocco : riepiloghi)
        natura(blocco, riepilogo(blocco), {"00429", "00430"}, problemi);
    corrispondenza(righe + casse, riepiloghi, problemi);
    return problemi;
}

void ControlliAliquote::natura(const NodoXml& blocco, const QString& dove, Codici codici,
                               QList<Problema>& problemi) {
    const std::optional<Decimale> aliquota = Decimale::leggi(blocco.testo("AliquotaIVA"));
    const QString natura = blocco.testo("Natura");
    if (!aliquota) return;
    if (aliquota->zero() && natura.isEmpty()) {
        problemi.append({QString::fromLatin1(codici.senzaNatura),
                         dove + QStringLiteral(": AliquotaIVA zero senza Natura")});
    } else if (!aliquota->zero() && !natura.isEmpty()) {
        problemi.append({QString::fromLatin1(codici.conNatura),
                         dove + QStringLiteral(": Natura %1 con AliquotaIVA %2 diversa da zero")
                                    .arg(natura, blocco.testo("AliquotaIVA"))});
    }
    if (natureGeneriche.contains(natura)) {
        problemi.append({QStringLiteral("00445"),
                         dove + QStringLiteral(": Natura %1 non più ammessa, va indicato il "
                                               "sottocodice (%1.1, %1.2, ...)")
                                    .arg(natura)});
    }
}

void ControlliAliquote::corrispondenza(const QList<NodoXml>& dettaglio,
                                       const QList<NodoXml>& riepiloghi,
                                       QList<Problema>& problemi) {
    Insiemi usati;
    Insiemi riepilogati;
    for (const NodoXml& blocco : dettaglio)
        usati.aggiungi(blocco);
    for (const NodoXml& blocco : riepiloghi)
        riepilogati.aggiungi(blocco);
    const QString manca = QStringLiteral("%1 %2 presente nelle righe o nella cassa previdenziale "
                                         "ma in nessun blocco DatiRiepilogo");
    const QString avanza = QStringLiteral("%1 %2 presente in DatiRiepilogo ma in nessuna riga "
                                          "né cassa previdenziale");
    for (const Decimale& a : usati.aliquote) {
        if (!riepilogati.aliquote.contains(a))
            problemi.append({QStringLiteral("00443"), manca.arg(u"AliquotaIVA", a.testo())});
    }
    for (const Decimale& a : riepilogati.aliquote) {
        if (!usati.aliquote.contains(a))
            problemi.append({QStringLiteral("00443"), avanza.arg(u"AliquotaIVA", a.testo())});
    }
    for (const QString& n : usati.nature) {
        if (!riepilogati.nature.contains(n))
            problemi.append({QStringLiteral("00444"), manca.arg(u"Natura", n)});
    }
    for (const QString& n : riepilogati.nature) {
        if (!usati.nature.contains(n))
            problemi.append({QStringLiteral("00444"), avanza.arg(u"Natura", n)});
    }
}
