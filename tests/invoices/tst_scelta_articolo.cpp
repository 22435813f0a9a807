#include "TestDb.h"
#include "data/TDiz.h"
#include "invoices/SceltaArticolo.h"

#include <QtTest>
#include <memory>

// The article pick over the tables passed in: the new line and the header's two-rate
// summary summed again over every line.
class TstSceltaArticolo : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_scelta_art");
    std::unique_ptr<TDiz> diz;

    QString riepilogo() {
        return TestDb::valore(db,
                              "SELECT CONCAT_WS('|', aliquota, imponibile, IFNULL(imposta, '-'),"
                              " aliquota2, imponibile2, imposta2, tot_doc) FROM testata");
    }
    QStringList scegli(const QString& codice) {
        [&] { QVERIFY(diz->Articoli->locate("codice_val", codice)); }();
        return scegliArticolo(*diz->Articoli, *diz->Testata, *diz->Detta);
    }

private slots:
    void init() {
        TestDb::ricrea(db, {"xml_quirn.sql"});
        TestDb::esegui(
            db, {"INSERT INTO magazzino (id, descrizione, codice_val, um, prezzo_unit, sc_tipo,"
                 " sc_perc, sc_importo, prezzo_tot, aliquota) VALUES"
                 " (1, 'VITI', 'VIT', 'PZ', '1.000,000', '', '', '', '1.000,000', '10'),"
                 " (2, 'DADI', 'DAD', 'PZ', '5,000', '', '', '', '5,000', '4')",
                 "INSERT INTO testata (id_invio, tot_doc) VALUES (1, '7,00')",
                 "INSERT INTO dettaglio (id_invio, prog, descrizione, aliquota, prezzo_tot) VALUES"
                 " (1, 1, 'A', '22', '100,000'), (1, 2, 'B', '22', 'x')"});
        diz = std::make_unique<TDiz>();
        TestDb::punta(*diz->xml_conn, db);
        for (Table* t : diz->tabelleFatture())
            t->open();
    }
    void cleanup() { diz.reset(); }

    // Rates take the two slots in line order; a third rate counts nowhere, an
    // unreadable line amount counts as zero with a warning; tot_doc is not touched.
    void twoRateSummary() {
        QCOMPARE(scegli("VIT"), QStringList{"Riga 2: prezzo totale \"x\" non leggibile, contato "
                                            "come zero nel riepilogo IVA"});
        QCOMPARE(TestDb::valore(db, "SELECT CONCAT_WS('|', prog, prezzo_unit, prezzo_tot, "
                                    "quantita) FROM dettaglio WHERE descrizione = 'VITI'"),
                 QString("3|1000,000|1000,000|1"));
        QCOMPARE(riepilogo(), QString("22|100,00|22,00|10|1000,00|100,00|7,00"));
        QCOMPARE(scegli("DAD").size(), 1);
        QCOMPARE(riepilogo(), QString("22|100,00|22,00|10|1000,00|100,00|7,00"));
        QCOMPARE(diz->Detta->field("prog").asInteger(), 4); // the new line is current
    }

    // A header rate that is no number leaves its tax empty and says so.
    void unreadableHeaderRate() {
        TestDb::esegui(db, {"UPDATE dettaglio SET aliquota = 'k' WHERE prog = 1",
                            "DELETE FROM dettaglio WHERE prog = 2"});
        diz->Detta->refresh();
        QCOMPARE(scegli("VIT").last(),
                 QString("Aliquota \"k\" non leggibile: imposta non calcolata"));
        QCOMPARE(riepilogo(), QString("k|100,00|-|10|1000,00|100,00|7,00"));
    }
};

QTEST_GUILESS_MAIN(TstSceltaArticolo)
#include "tst_scelta_articolo.moc"
