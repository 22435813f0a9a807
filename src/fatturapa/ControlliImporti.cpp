#include "fatturapa/ControlliImporti.h"

#include "fatturapa/ChiaveIva.h"

#include <map>

namespace {

const Decimale centesimo = *Decimale::leggi(u"0.01");
const Decimale euro = Decimale::intero(1);

// Decimals written in an amount, at least 2: the computed value is shown alike.
int decimaliDi(const QString& importo) {
    const qsizetype punto = importo.indexOf(u'.');
    return punto < 0 ? 2 : std::max<int>(2, int(importo.size() - punto - 1));
}

Decimale importoOZero(const NodoXml& blocco, QByteArrayView elemento) {
    return Decimale::leggi(blocco.testo(elemento)).value_or(Decimale());
}

struct Imponibili {
    Decimale dichiarato;
    Decimale calcolato;
    bool riepilogato = false;
};

} // namespace

QList<Problema> ControlliImporti::esegui(const NodoXml& corpo) {
    QList<Problema> problemi;
    for (const NodoXml& riga : corpo.tutti("DatiBeniServizi/DettaglioLinee"))
        prezzoTotale(riga, problemi);
    for (const NodoXml& riepilogo : corpo.tutti("DatiBeniServizi/DatiRiepilogo"))
        imposta(riepilogo, problemi);
    imponibili(corpo, problemi);
    return problemi;
}

std::optional<Decimale> ControlliImporti::prezzoTotaleAtteso(const NodoXml& riga) {
    std::optional<Decimale> prezzo = Decimale::leggi(riga.testo("PrezzoUnitario"));
    if (!prezzo) return std::nullopt;
    for (const NodoXml& variazione : riga.tutti("ScontoMaggiorazione")) {
        std::optional<Decimale> importo = Decimale::leggi(variazione.testo("Importo"));
        if (!importo) {
            const std::optional<Decimale> percentuale =
                Decimale::leggi(variazione.testo("Percentuale"));
            importo = percentuale ? prezzo->percentuale(*percentuale) : Decimale();
        }
        prezzo = variazione.testo("Tipo") == u"SC" ? *prezzo - *importo : *prezzo + *importo;
    }
    const QString testoQuantita = riga.testo("Quantita");
    const std::optional<Decimale> quantita =
        testoQuantita.isEmpty() ? Decimale::intero(1) : Decimale::leggi(testoQuantita);
    if (!quantita) return std::nullopt;
    return *prezzo * *quantita;
}

void ControlliImporti::prezzoTotale(const NodoXml& riga, QList<Problema>& problemi) {
    const QString testo = riga.testo("PrezzoTotale");
    const std::optional<Decimale> dichiarato = Decimale::leggi(testo);
    const std::optional<Decimale> atteso = prezzoTotaleAtteso(riga);
    if (!dichiarato || !atteso || (*dichiarato - *atteso).assoluto() <= centesimo) return;
    const QString formula = riga.figlio("ScontoMaggiorazione").esiste()
                                ? QStringLiteral("PrezzoUnitario con sconti e maggiorazioni")
                                : QStringLiteral("PrezzoUnitario");
    problemi.append(
        {QStringLiteral("00423"),
         QStringLiteral("riga %1: PrezzoTotale %2 diverso da %3 x Quantita (%4)")
             .arg(riga.testo("NumeroLinea"), testo, formula, atteso->testo(decimaliDi(testo)))});
}

void ControlliImporti::imposta(const NodoXml& riepilogo, QList<Problema>& problemi) {
    const std::optional<Decimale> imponibile =
        Decimale::leggi(riepilogo.testo("ImponibileImporto"));
    const std::optional<Decimale> aliquota = Decimale::leggi(riepilogo.testo("AliquotaIVA"));
    const std::optional<Decimale> imposta = Decimale::leggi(riepilogo.testo("Imposta"));
    if (!imponibile || !aliquota || !imposta) return;
    const Decimale atteso = imponibile->percentuale(*aliquota).arrotondato(2);
    if ((*imposta - atteso).assoluto() <= centesimo) return;
    problemi.append(
        {QStringLiteral("00421"),
         QStringLiteral("riepilogo con aliquota %1%: Imposta %2 diversa da "
                        "ImponibileImporto x AliquotaIVA / 100 (%3)")
             .arg(riepilogo.testo("AliquotaIVA"), riepilogo.testo("Imposta"), atteso.testo())});
}

void ControlliImporti::imponibili(const NodoXml& corpo, QList<Problema>& problemi) {
    std::map<ChiaveIva, Imponibili> perChiave;
    for (const NodoXml& riepilogo : corpo.tutti("DatiBeniServizi/DatiRiepilogo")) {
        if (const std::optional<ChiaveIva> chiave = ChiaveIva::di(riepilogo)) {
            Imponibili& somme = perChiave[*chiave];
            somme.riepilogato = true;
            somme.dichiarato += importoOZero(riepilogo, "ImponibileImporto");
            somme.calcolato += importoOZero(riepilogo, "Arrotondamento");
        }
    }
    for (const NodoXml& riga : corpo.tutti("DatiBeniServizi/DettaglioLinee")) {
        if (const std::optional<ChiaveIva> chiave = ChiaveIva::di(riga))
            perChiave[*chiave].calcolato += importoOZero(riga, "PrezzoTotale");
    }
    for (const NodoXml& cassa :
         corpo.tutti("DatiGenerali/DatiGeneraliDocumento/DatiCassaPrevidenziale")) {
        if (const std::optional<ChiaveIva> chiave = ChiaveIva::di(cassa))
            perChiave[*chiave].calcolato += importoOZero(cassa, "ImportoContributoCassa");
    }
    for (const auto& [chiave, somme] : perChiave) {
        if (!somme.riepilogato || (somme.dichiarato - somme.calcolato).assoluto() <= euro) continue;
        problemi.append(
            {QStringLiteral("00422"),
             QStringLiteral("riepilogo %1: ImponibileImporto %2 diverso dalla somma "
                            "di PrezzoTotale delle righe, contributi di cassa "
                            "previdenziale e Arrotondamento (%3)")
                 .arg(chiave.descrizione(), somme.dichiarato.testo(), somme.calcolato.testo())});
    }
}
