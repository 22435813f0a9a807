#include "invoices/CalcolaTotali.h"

#include "data/TDiz.h"
#include "platform/Testi.h"

namespace {

constexpr int kSlot = 4;      // rate slots of the header
constexpr int kSlotPieni = 3; // slots with gift lines, discount and expenses

const char* const kAliquota[kSlot] = {"aliquota", "aliquota2", "aliquota3", "aliquota4"};
const char* const kImponibile[kSlot] = {"imponibile", "imponibile2", "imponibile3", "imponibile4"};
const char* const kImposta[kSlot] = {"imposta", "imposta2", "imposta3", "imposta4"};
const char* const kOmaggio[kSlotPieni] = {"tot_omaggio", "tot_omaggio2", "tot_omaggio3"};

using Ld = long double;

// A higher-precision result stored as a working value.
float f32(Ld v) {
    return static_cast<float>(v);
}

Field campo(Table& t, const char* nome) {
    return t.field(QString::fromLatin1(nome));
}

QString testo(Table& t, const char* nome) {
    return campo(t, nome).asString();
}

void scrivi(Table& t, const char* nome, Ld importo) {
    campo(t, nome).setAsString(Testi::importo(importo));
}

bool rigaOmaggio(const QString& tipo) {
    return tipo == QLatin1String("SC") || tipo == QLatin1String("AB") ||
           tipo == QLatin1String("PR");
}

// The working values of one run.
struct Lavoro {
    float B[kSlot] = {};      // taxable base
    float G[kSlotPieni] = {}; // gift total
    float V[kSlotPieni] = {}; // gift VAT
    float R[kSlot] = {};      // numeric rate
    float S[kSlotPieni] = {}; // discount amount
    float P = 0, E1 = 0, E2 = 0, T = 0;
    // Lines with an empty rate, kept apart until the slots are known.
    float vuoteOrdinarie = 0, vuoteOmaggio = 0, vuoteTutte = 0;
};

// One line, read where the totals need it.
struct Riga {
    QString aliquota;
    QString prezzoTot;
    bool omaggio = false;
};

void svuotaSlot(Table& testata) {
    const QString vuoto = QStringLiteral(""); // empty text, not null
    testata.edit();
    for (int k = 0; k < kSlot; ++k) {
        campo(testata, kImponibile[k]).setAsString(vuoto);
        campo(testata, kImposta[k]).setAsString(vuoto);
        campo(testata, kAliquota[k]).setAsString(vuoto);
    }
    testata.post();
}

// The slots' rate texts as the header holds them, read back after each
// setting (a text longer than the column is stored cut).
struct Aliquote {
    QString testo[kSlot];

    void imposta(Table& testata, int k, const QString& r) {
        testata.edit();
        Field f = campo(testata, kAliquota[k]);
        f.setAsString(r);
        testata.post();
        testo[k] = f.asString();
    }

    // The rate r takes the first free slot unless an earlier slot holds it.
    void assegna(Table& testata, const QString& r) {
        for (int k = 0; k < kSlot; ++k) {
            if (testo[k].isEmpty()) {
                imposta(testata, k, r);
                return;
            }
            if (testo[k] == r) return;
        }
    }
};

void accumula(Lavoro& w, const Aliquote& aliquote, const Riga& riga) {
    for (int k = 0; k < kSlot; ++k) {
        if (aliquote.testo[k] != riga.aliquota) continue;
        if (k < kSlotPieni && riga.omaggio) {
            const Ld iva = Testi::numero(riga.aliquota) * Testi::numero(riga.prezzoTot) / 100;
            w.V[k] = f32(w.V[k] + iva);
            w.G[k] = f32(w.G[k] + Testi::numero(riga.prezzoTot));
        } else {
            w.B[k] = f32(w.B[k] + Testi::numero(riga.prezzoTot));
        }
    }
}

// A line without a rate is VAT 0 and counts once, in the group of its own.
void accumulaSenzaAliquota(Lavoro& w, const Riga& riga) {
    const Ld importo = Testi::numero(riga.prezzoTot);
    if (riga.omaggio)
        w.vuoteOmaggio = f32(w.vuoteOmaggio + importo);
    else
        w.vuoteOrdinarie = f32(w.vuoteOrdinarie + importo);
    w.vuoteTutte = f32(w.vuoteTutte + importo);
}

// The group of empty-rate lines goes into the first slot no rate took (the
// slots fill in order, so the free ones are the last); that slot's own sums
// are still 0.
void collocaSenzaAliquota(const Aliquote& aliquote, Lavoro& w) {
    for (int k = 0; k < kSlot; ++k) {
        if (!aliquote.testo[k].isEmpty()) continue;
        if (k < kSlotPieni) {
            w.B[k] = w.vuoteOrdinarie;
            w.G[k] = w.vuoteOmaggio;
        } else {
            w.B[k] = w.vuoteTutte;
        }
        return;
    }
}

void leggiRighe(Table& testata, Table& detta, Lavoro& w) {
    const Field quantita = detta.field(QStringLiteral("quantita"));
    const Field aliquota = detta.field(QStringLiteral("aliquota"));
    const Field tipo = detta.field(QStringLiteral("tipo_cessione"));
    const Field prezzoTot = detta.field(QStringLiteral("prezzo_tot"));
    Aliquote aliquote; // all empty after svuotaSlot
    for (detta.first(); !detta.eof(); detta.next()) {
        if (Testi::numero(quantita.asString()) <= 0) continue;
        const Riga riga{aliquota.asString(), prezzoTot.asString(), rigaOmaggio(tipo.asString())};
        if (riga.aliquota.isEmpty()) {
            accumulaSenzaAliquota(w, riga);
            continue;
        }
        aliquote.assegna(testata, riga.aliquota);
        accumula(w, aliquote, riga);
    }
    collocaSenzaAliquota(aliquote, w);
}

void leggiTestata(Table& testata, Lavoro& w) {
    for (int k = 0; k < kSlot; ++k)
        w.R[k] = f32(Testi::numeroOZero(testo(testata, kAliquota[k])));
    testata.edit();
    w.E1 = f32(Testi::numeroOZero(testo(testata, "spese")));
    w.E2 = f32(Testi::numeroOZero(testo(testata, "spese2")));
    const QString scTipo = testo(testata, "sc_tipo");
    if (scTipo == QLatin1String("SC") || scTipo == QLatin1String("MG"))
        w.P = f32(Testi::numeroOZero(testo(testata, "sc_perc")));
}

void scriviSlot(Table& testata, Lavoro& w) {
    for (int k = 0; k < kSlotPieni; ++k) {
        if (w.P > 0) w.S[k] = f32(Ld(w.B[k]) * w.P / 100);
        if (w.B[k] > 0 || w.G[k] > 0) {
            scrivi(testata, kImponibile[k], w.B[k]);
            scrivi(testata, kImposta[k], Ld(w.B[k]) * w.R[k] / 100 + w.V[k]);
            scrivi(testata, kOmaggio[k], w.G[k]);
            w.T = f32(Ld(w.B[k]) * w.R[k] / 100 + w.T + w.V[k]);
        }
    }
    if (w.B[3] > 0) {
        scrivi(testata, kImponibile[3], w.B[3]);
        scrivi(testata, kImposta[3], Ld(w.B[3]) * w.R[3] / 100);
        w.T = f32(Ld(w.B[3]) * w.R[3] / 100 + w.T);
    }
}

void scriviTotali(Table& testata, const Lavoro& w) {
    scrivi(testata, "sc_importo", Ld(w.S[0]) + w.S[1] + w.S[2]);
    const Ld totale = Ld(w.B[0]) - (1 + Ld(w.R[0]) / 100) * w.S[0] -
                      (1 + Ld(w.R[1]) / 100) * w.S[1] - (1 + Ld(w.R[2]) / 100) * w.S[2] + w.B[1] +
                      w.B[2] + w.B[3] + w.T + (1 + Ld(w.R[0]) / 100) * w.E1 +
                      (1 + Ld(w.R[1]) / 100) * w.E2;
    scrivi(testata, "tot_doc", totale);
}

} // namespace

void CalcolaTotali() {
    Table& testata = *Diz->Testata;
    Table& detta = *Diz->Detta;
    Lavoro w;
    svuotaSlot(testata);
    leggiRighe(testata, detta, w);
    leggiTestata(testata, w);
    scriviSlot(testata, w);
    scriviTotali(testata, w);
    testata.post();
}
