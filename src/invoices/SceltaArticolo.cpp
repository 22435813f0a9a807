#include "invoices/SceltaArticolo.h"

#include "db/FatturaInviata.h"
#include "db/Table.h"
#include "db/Transaction.h"
#include "platform/Errore.h"
#include "platform/Testi.h"

#include <tuple>

namespace {

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

// An amount of the article as the invoice line keeps it: without grouping points.
// Empty and unreadable texts are copied as they are.
QString perRiga(const QString& testoArticolo, const QString& maschera) {
    long double v = 0;
    return Testi::leggiNumeroRaggruppato(testoArticolo, v) ? Testi::formatta(float(v), maschera)
                                                           : testoArticolo;
}

// A percentage as the article holds it ("10,0" stays "10,0"), only without grouping
// points; a text that is no amount is copied as it is.
QString percentualePerRiga(const QString& testoArticolo) {
    long double v = 0;
    if (!Testi::leggiNumeroRaggruppato(testoArticolo, v)) return testoArticolo;
    QString testo = testoArticolo;
    return testo.remove(QLatin1Char('.'));
}

void ripristina(Table& testata, Table& detta) {
    try {
        if (detta.isEditing()) detta.cancel();
        if (testata.isEditing()) testata.cancel();
        testata.refresh();
        detta.refresh();
    } catch (const Errore&) {
        // The error already on its way says what went wrong.
    }
}

} // namespace

QStringList scegliArticolo(Table& articoli, Table& testata, Table& detta) {
    if (articoli.recNo() < 0) return {};
    vietaSeInviata(testata);
    const QString aliquota = QStringLiteral("aliquota"), aliquota2 = QStringLiteral("aliquota2");
    const QString prezzoTot = QStringLiteral("prezzo_tot");
    QStringList avvisi;
    try {
        Transaction transazione(*testata.connection());
        if (testata.recNo() < 0) {
            testata.append();
            testata.post();
        }

        // The new line, numbered after the last one.
        int numero = 1;
        if (!detta.isEmpty()) {
            detta.last();
            const Field prog = detta.field(QStringLiteral("prog"));
            if (!prog.isNull()) numero = prog.asInteger() + 1;
        }
        detta.append();
        detta.field(QStringLiteral("prog")).setAsInteger(numero);
        for (const char* c :
             {"descrizione", "codice_tipo", "codice_val", "um", "sc_tipo", "aliquota"})
            imposta(detta, QString::fromLatin1(c), testo(articoli, QString::fromLatin1(c)));
        const QString prezzo = QStringLiteral("#####0.000"), importo = QStringLiteral("#####0.00");
        const std::pair<const char*, const QString*> importi[] = {
            {"prezzo_unit", &prezzo}, {"sc_importo", &importo}, {"prezzo_tot", &prezzo}};
        for (const auto& [c, maschera] : importi) {
            const QString colonna = QString::fromLatin1(c);
            imposta(detta, colonna, perRiga(testo(articoli, colonna), *maschera));
        }
        const QString scPerc = QStringLiteral("sc_perc");
        imposta(detta, scPerc, percentualePerRiga(testo(articoli, scPerc)));
        imposta(detta, QStringLiteral("quantita"), QStringLiteral("1"));
        detta.post();
        const Bookmark nuova = detta.bookmark();

        // The two-rate summary, summed again over every line.
        testata.edit();
        for (const char* c :
             {"imponibile", "imposta", "aliquota", "imponibile2", "imposta2", "aliquota2"})
            imposta(testata, QString::fromLatin1(c), QString());
        testata.post();
        float s1 = 0, s2 = 0;
        for (detta.first(); !detta.eof() && detta.recNo() >= 0; detta.next()) {
            const QString rigaAliquota = testo(detta, aliquota);
            if (testo(testata, aliquota).isEmpty()) {
                testata.edit();
                imposta(testata, aliquota, rigaAliquota);
                testata.post();
            } else if (testo(testata, aliquota2).isEmpty() &&
                       rigaAliquota != testo(testata, aliquota)) {
                testata.edit();
                imposta(testata, aliquota2, rigaAliquota);
                testata.post();
            }
            const bool prima = rigaAliquota == testo(testata, aliquota);
            const bool seconda = !prima && rigaAliquota == testo(testata, aliquota2);
            if (!prima && !seconda) continue;
            float v = 0;
            if (!leggi(testo(detta, prezzoTot), v)) {
                avvisi << QStringLiteral("Riga %1: prezzo totale \"%2\" non leggibile, contato "
                                         "come zero nel riepilogo IVA")
                              .arg(testo(detta, QStringLiteral("prog")), testo(detta, prezzoTot));
                continue;
            }
            (prima ? s1 : s2) += v;
        }
        detta.gotoBookmark(nuova);

        testata.edit();
        const std::tuple<float, const char*, const char*, const char*> gruppi[] = {
            {s1, "imponibile", "imposta", "aliquota"},
            {s2, "imponibile2", "imposta2", "aliquota2"}};
        for (const auto& [somma, imponibile, iva, colonnaAliquota] : gruppi) {
            if (!(somma > 0)) continue;
            imposta(testata, QString::fromLatin1(imponibile),
                    Testi::formatta(somma, QStringLiteral("######0.00")));
            const QString testoAliquota = testo(testata, QString::fromLatin1(colonnaAliquota));
            float a = 0;
            if (leggi(testoAliquota, a))
                imposta(testata, QString::fromLatin1(iva),
                        Testi::formatta(a * somma / 100, QStringLiteral("######0.00")));
            else
                avvisi << QStringLiteral("Aliquota \"%1\" non leggibile: imposta non calcolata")
                              .arg(testoAliquota);
        }
        testata.post();
        transazione.commit();
    } catch (const Errore&) {
        ripristina(testata, detta);
        throw;
    }
    return avvisi;
}
