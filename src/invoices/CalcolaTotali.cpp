#include "invoices/CalcolaTotali.h"

#include "db/FatturaInviata.h"
#include "db/Table.h"
#include "invoices/ErroreImporto.h"
#include "platform/ErroreConversione.h"
#include "platform/Testi.h"

#include <cmath>
#include <utility>

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
    QString prog;
    QString aliquota;
    QString prezzoTot;
    bool omaggio = false;

    // The number in a column of this line; a text that is not one is an error
    // naming the line and the column.
    Ld numero(const char* colonna, const QString& valore) const {
        try {
            return Testi::numero(valore);
        } catch (const ErroreConversione& e) {
            throw ErroreConversione(
                QStringLiteral("Riga %1, %2: %3").arg(prog, QLatin1String(colonna), e.messaggio()));
        }
    }
};

// The header columns to write, in order, with their texts. An amount that does
// not fit its column is refused before anything is written.
class Scrittura {
public:
    explicit Scrittura(Table& testata) : m_testata(testata) {}

    // An empty text is written as such, never as null.
    void testo(const char* nome, const QString& valore) {
        m_valori.append({nome, valore.isNull() ? QStringLiteral("") : valore});
    }

    void importo(const char* nome, Ld valore) {
        if (!std::isfinite(valore))
            throw ErroreImporto(QStringLiteral("L'importo calcolato per %1 è fuori misura")
                                    .arg(QLatin1String(nome)));
        const QString t = Testi::importo(valore);
        const int spazio = campo(m_testata, nome).size();
        if (spazio > 0 && t.size() > spazio)
            throw ErroreImporto(
                QStringLiteral("L'importo %1 calcolato per %2 supera i %3 caratteri della colonna")
                    .arg(t, QLatin1String(nome))
                    .arg(spazio));
        testo(nome, t);
    }

    void esegui() {
        m_testata.edit();
        for (const auto& [nome, valore] : m_valori)
            campo(m_testata, nome).setAsString(valore);
        m_testata.post();
    }

private:
    Table& m_testata;
    QList<std::pair<const char*, QString>> m_valori;
};

// The slots' rate texts as the header will hold them (a text longer than the
// column is stored cut).
struct Aliquote {
    QString testo[kSlot];
    int spazio = 0; // characters of the rate columns; 0 when unlimited

    // The rate r takes the first free slot unless an earlier slot holds it.
    void assegna(const QString& r) {
        const QString scritta = spazio > 0 ? r.left(spazio) : r;
        for (int k = 0; k < kSlot; ++k) {
            if (testo[k].isEmpty()) {
                testo[k] = scritta;
                return;
            }
            if (testo[k] == r) return;
        }
    }
};

void accumula(Lavoro& w, const Aliquote& aliquote, const Riga& riga) {
    for (int k = 0; k < kSlot; ++k) {
        if (aliquote.testo[k] != riga.aliquota) continue;
        const Ld importo = riga.numero("prezzo_tot", riga.prezzoTot);
        if (k < kSlotPieni && riga.omaggio) {
            const Ld iva = riga.numero("aliquota", riga.aliquota) * importo / 100;
            w.V[k] = f32(w.V[k] + iva);
            w.G[k] = f32(w.G[k] + importo);
        } else {
            w.B[k] = f32(w.B[k] + importo);
        }
    }
}

// A line without a rate is VAT 0 and counts once, in the group of its own.
void accumulaSenzaAliquota(Lavoro& w, const Riga& riga) {
    const Ld importo = riga.numero("prezzo_tot", riga.prezzoTot);
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

void leggiRighe(Table& righe, Aliquote& aliquote, Lavoro& w) {
    const Field prog = righe.field(QStringLiteral("prog"));
    const Field quantita = righe.field(QStringLiteral("quantita"));
    const Field aliquota = righe.field(QStringLiteral("aliquota"));
    const Field tipo = righe.field(QStringLiteral("tipo_cessione"));
    const Field prezzoTot = righe.field(QStringLiteral("prezzo_tot"));
    for (righe.first(); !righe.eof(); righe.next()) {
        const Riga riga{prog.asString(), aliquota.asString(), prezzoTot.asString(),
                        rigaOmaggio(tipo.asString())};
        if (riga.numero("quantita", quantita.asString()) <= 0) continue;
        if (riga.aliquota.isEmpty()) {
            accumulaSenzaAliquota(w, riga);
            continue;
        }
        aliquote.assegna(riga.aliquota);
        accumula(w, aliquote, riga);
    }
    collocaSenzaAliquota(aliquote, w);
}

void leggiTestata(Table& testata, const Aliquote& aliquote, Lavoro& w) {
    for (int k = 0; k < kSlot; ++k)
        w.R[k] = f32(Testi::numeroOZero(aliquote.testo[k]));
    w.E1 = f32(Testi::numeroOZero(testo(testata, "spese")));
    w.E2 = f32(Testi::numeroOZero(testo(testata, "spese2")));
    const QString scTipo = testo(testata, "sc_tipo");
    if (scTipo == QLatin1String("SC") || scTipo == QLatin1String("MG"))
        w.P = f32(Testi::numeroOZero(testo(testata, "sc_perc")));
}

// Every slot is written: its rate, and its amounts where it has any (empty
// text otherwise; the gift total of an unused slot stays as it was).
void scriviSlot(Scrittura& s, const Aliquote& aliquote, Lavoro& w) {
    const QString vuoto;
    for (int k = 0; k < kSlot; ++k) {
        s.testo(kAliquota[k], aliquote.testo[k]);
        if (k < kSlotPieni && w.P > 0) w.S[k] = f32(Ld(w.B[k]) * w.P / 100);
        const bool pieno = k < kSlotPieni ? w.B[k] > 0 || w.G[k] > 0 : w.B[k] > 0;
        if (!pieno) {
            s.testo(kImponibile[k], vuoto);
            s.testo(kImposta[k], vuoto);
            continue;
        }
        const Ld iva = Ld(w.B[k]) * w.R[k] / 100 + (k < kSlotPieni ? w.V[k] : 0.0f);
        s.importo(kImponibile[k], w.B[k]);
        s.importo(kImposta[k], iva);
        if (k < kSlotPieni) {
            s.importo(kOmaggio[k], w.G[k]);
            w.T = f32(Ld(w.B[k]) * w.R[k] / 100 + w.T + w.V[k]);
        } else {
            w.T = f32(Ld(w.B[k]) * w.R[k] / 100 + w.T);
        }
    }
}

void scriviTotali(Scrittura& s, const Lavoro& w) {
    s.importo("sc_importo", Ld(w.S[0]) + w.S[1] + w.S[2]);
    const Ld totale = Ld(w.B[0]) - (1 + Ld(w.R[0]) / 100) * w.S[0] -
                      (1 + Ld(w.R[1]) / 100) * w.S[1] - (1 + Ld(w.R[2]) / 100) * w.S[2] + w.B[1] +
                      w.B[2] + w.B[3] + w.T + (1 + Ld(w.R[0]) / 100) * w.E1 +
                      (1 + Ld(w.R[1]) / 100) * w.E2;
    s.importo("tot_doc", totale);
}

} // namespace

void CalcolaTotali(Table& testata, Table& righe) {
    vietaSeInviata(testata);
    testata.checkBrowseMode();
    try {
        // A header row is created first, as the lines' master.
        if (testata.isEmpty()) testata.append();
        Lavoro w;
        Aliquote aliquote;
        aliquote.spazio = campo(testata, kAliquota[0]).size();
        leggiRighe(righe, aliquote, w);
        leggiTestata(testata, aliquote, w);
        Scrittura s(testata);
        scriviSlot(s, aliquote, w);
        scriviTotali(s, w);
        // One statement: other readers see the old header or the new one.
        s.esegui();
    } catch (...) {
        testata.cancel();
        throw;
    }
}

void CalcolaTotali(const TabelleFattura& tabelle) {
    CalcolaTotali(tabelle.testata, tabelle.righe);
}
