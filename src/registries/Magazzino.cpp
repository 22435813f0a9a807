#include "registries/Magazzino.h"

#include "db/Table.h"
#include "platform/Testi.h"

namespace {

const QString kMascheraImporto = QStringLiteral("##,###0.00");
const QString kMascheraPrezzo = QStringLiteral("##,###0.000");

bool leggi(const QString& testo, float& valore) {
    long double v = 0;
    if (!Testi::leggiNumeroRaggruppato(testo, v)) return false;
    valore = float(v);
    return true;
}

QString testo(Table& t, const QString& colonna) {
    return t.field(colonna).asString();
}

void imposta(Table& t, const QString& colonna, const QString& valore) {
    t.field(colonna).setAsString(valore);
}

struct ColonnePrezzo {
    const char* lordo;
    const char* percentuale;
    const char* tipo;
    const char* sconto;
    const char* netto;
};

void calcolaPrezzo(Table& t, const ColonnePrezzo& c) {
    const QString lordo = QString::fromLatin1(c.lordo);
    const QString percentuale = QString::fromLatin1(c.percentuale);
    const QString sconto = QString::fromLatin1(c.sconto);
    const QString netto = QString::fromLatin1(c.netto);
    float p = 0, s = 0;
    if (!leggi(testo(t, lordo), p) || !leggi(testo(t, percentuale), s)) {
        imposta(t, netto, testo(t, lordo));
        return;
    }
    const float d = p * s / 100;
    imposta(t, sconto, Testi::formatta(d, kMascheraImporto));
    const QString tipo = testo(t, QString::fromLatin1(c.tipo));
    float n = p;
    if (tipo == u"SC") {
        n = p - d;
    } else if (tipo == u"MG") {
        n = p + d;
    } else {
        imposta(t, sconto, QString());
        imposta(t, percentuale, QString());
    }
    imposta(t, netto, Testi::formatta(n, kMascheraPrezzo));
}

} // namespace

void CalcolaPrezzoVendita(Table& articoli) {
    calcolaPrezzo(articoli, {"prezzo_unit", "sc_perc", "sc_tipo", "sc_importo", "prezzo_tot"});
}

void CalcolaPrezzoAcquisto(Table& articoli) {
    calcolaPrezzo(articoli, {"costo_unit", "sc_costo_perc", "sc_costo_tipo", "sc_costo_importo",
                             "costo_tot"});
}

void riformattaImporto(Table& articoli, const QString& colonna, const QString& maschera,
                       const QString& ripiego) {
    float v = 0;
    imposta(articoli, colonna,
            leggi(testo(articoli, colonna), v) ? Testi::formatta(v, maschera) : ripiego);
}

void nuovoArticolo(Table& articoli) {
    articoli.append();
    const std::pair<const char*, const char*> valori[] = {
        {"esistenza", "0"},     {"um", "PZ"},
        {"aliquota", "22"},     {"prezzo_unit", "0,000"},
        {"sc_perc", "0"},       {"sc_importo", "0"},
        {"prezzo_tot", "0"},    {"costo_unit", "0,000"},
        {"sc_costo_perc", "0"}, {"sc_costo_importo", "0"},
        {"costo_tot", "0"}};
    for (const auto& [colonna, valore] : valori)
        imposta(articoli, QString::fromLatin1(colonna), QString::fromLatin1(valore));
}
