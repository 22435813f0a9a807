#include "TestDb.h"
#include "data/TDiz.h"
#include "invoices/CalcolaTotali.h"
#include "platform/Errore.h"

#include <QtTest>
#include <memory>

// Totals and VAT summary of one invoice (id_invio 1) written into testata.
class TstCalcolaTotali : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_calcolatotali");
    std::unique_ptr<TDiz> diz;

    // Lines "quantita;prezzo_tot;aliquota[;tipo_cessione]" separated by "|".
    // The header starts with every result column holding an old value.
    void prepara(const QString& testata, const QString& righe) {
        QStringList sql = {"DELETE FROM testata", "DELETE FROM dettaglio",
                           "INSERT INTO testata (id_invio, spese, spese2, esig_iva, esig_iva2, "
                           "aliquota, imponibile, imposta, aliquota2, imponibile2, imposta2, "
                           "aliquota3, imponibile3, imposta3, aliquota4, imponibile4, imposta4, "
                           "tot_omaggio, tot_omaggio2, tot_omaggio3, sc_importo, tot_doc) VALUES "
                           "(1, '0,00', '0,00', 'I', 'I', '9', '1,11', '2,22', '8', '1,11', "
                           "'2,22', '7', '1,11', '2,22', '6', '1,11', '2,22', '3,33', '3,33', "
                           "'3,33', '4,44', '5,55')"};
        for (const QString& imposta : testata.split(';', Qt::SkipEmptyParts))
            sql << QString("UPDATE testata SET %1 = '%2'")
                       .arg(imposta.section('=', 0, 0), imposta.section('=', 1));
        int prog = 0;
        for (const QString& riga : righe.split('|', Qt::SkipEmptyParts)) {
            const QStringList c = (riga + ";;;").split(';');
            sql << QString("INSERT INTO dettaglio (id_invio, prog, quantita, prezzo_tot, aliquota, "
                           "tipo_cessione) VALUES (1, %1, '%2', '%3', '%4', '%5')")
                       .arg(++prog)
                       .arg(c[0], c[1], c[2], c[3]);
        }
        TestDb::esegui(db, sql);
        diz->Testata->open();
        diz->Detta->open();
    }

    // The four slots and the totals as stored: "aliquota imponibile imposta
    // tot_omaggio | ... | aliquota4 imponibile4 imposta4 | sc_importo tot_doc",
    // "-" for empty text.
    QString riepilogo() {
        const QStringList slot = {"aliquota imponibile imposta tot_omaggio",
                                  "aliquota2 imponibile2 imposta2 tot_omaggio2",
                                  "aliquota3 imponibile3 imposta3 tot_omaggio3",
                                  "aliquota4 imponibile4 imposta4", "sc_importo tot_doc"};
        QStringList parti;
        for (const QString& colonne : slot) {
            QStringList espr;
            for (const QString& c : colonne.split(' '))
                espr << QString("IF(%1 = '', '-', IFNULL(%1, '<null>'))").arg(c);
            parti << "CONCAT_WS(' ', " + espr.join(", ") + ")";
        }
        return TestDb::valore(db, "SELECT CONCAT_WS(' | ', " + parti.join(", ") +
                                      ") FROM testata WHERE id_invio = 1");
    }

    QString colonne(const QString& elenco) {
        return TestDb::valore(db, "SELECT CONCAT_WS(' ', " + elenco + ") FROM testata");
    }

private slots:
    void initTestCase() { TestDb::ricrea(db, {"xml_quirn.sql"}); }
    void init() {
        diz = std::make_unique<TDiz>();
        TestDb::punta(*diz->xml_conn, db);
    }
    void cleanup() { diz.reset(); }

    void totali_data() {
        QTest::addColumn<QString>("testata");
        QTest::addColumn<QString>("righe");
        QTest::addColumn<QString>("atteso");
        const QString tre = "1;100;22|1;50;10|1;20;22;PR";
        const QString slot12 = "22 100,00 26,40 20,00 | 10 50,00 5,00 0,00 | - - - 3,33 | - - - | ";
        QTest::newRow("example") << "" << tre << slot12 + "0,00 181,40";
        QTest::newRow("discount SC") << "sc_tipo=SC;sc_perc=10" << tre << slot12 + "15,00 163,70";
        QTest::newRow("discount MG subtracted")
            << "sc_tipo=MG;sc_perc=10" << tre << slot12 + "15,00 163,70";
        QTest::newRow("other discount kind")
            << "sc_tipo=XX;sc_perc=10" << tre << slot12 + "0,00 181,40";
        QTest::newRow("expenses slot 1") << "spese=10" << tre << slot12 + "0,00 193,60";
        QTest::newRow("expenses slot 2") << "spese2=5" << tre << slot12 + "0,00 186,90";
        QTest::newRow("unreadable header values")
            << "spese=1.000,00;spese2=abc;sc_tipo=SC;sc_perc=1.5" << tre << slot12 + "0,00 181,40";
        QTest::newRow("five rates, slot 4 without discount")
            << "sc_tipo=SC;sc_perc=10"
            << "1;100;22|1;100;10|1;100;4|1;100;5|1;1000;0"
            << "22 100,00 22,00 0,00 | 10 100,00 10,00 0,00 | 4 100,00 4,00 0,00 | "
               "5 100,00 5,00 | 30,00 407,40";
        QTest::newRow("fifth rate never read")
            << ""
            << "1;1;22|1;1;10|1;1;4|1;1;5|1;1.000;0"
            << "22 1,00 0,22 0,00 | 10 1,00 0,10 0,00 | 4 1,00 0,04 0,00 | 5 1,00 0,05 | 0,00 4,41";
        QTest::newRow("gift line in slot 4 is base")
            << ""
            << "1;1;22|1;1;10|1;1;4|1;50;5;PR"
            << "22 1,00 0,22 0,00 | 10 1,00 0,10 0,00 | 4 1,00 0,04 0,00 | "
               "5 50,00 2,50 | 0,00 55,86";
        QTest::newRow("quantity 0 and negative")
            << ""
            << "0;500;10|-1;700;4|1;100;22|0,00;9;5"
            << "22 100,00 22,00 0,00 | - - - 3,33 | - - - 3,33 | - - - | 0,00 122,00";
        QTest::newRow("negative base enters only tot_doc")
            << ""
            << "1;100;22|1;-30;10"
            << "22 100,00 22,00 0,00 | 10 - - 3,33 | - - - 3,33 | - - - | 0,00 92,00";
        QTest::newRow("gift total without base")
            << ""
            << "1;20;10;SC"
            << "10 0,00 2,00 20,00 | - - - 3,33 | - - - 3,33 | - - - | 0,00 2,00";
        QTest::newRow("negative base with gifts")
            << ""
            << "1;-30;10|1;20;10;AB"
            << "10 -30,00 -1,00 20,00 | - - - 3,33 | - - - 3,33 | - - - | 0,00 -31,00";
        QTest::newRow("negative total")
            << ""
            << "1;-100;22"
            << "22 - - 3,33 | - - - 3,33 | - - - 3,33 | - - - | 0,00 -100,00";
        QTest::newRow("no lines") << "spese=10;spese2=5"
                                  << ""
                                  << "- - - 3,33 | - - - 3,33 | - - - 3,33 | - - - | 0,00 15,00";
        QTest::newRow("22 and 22,00 are two rates")
            << ""
            << "1;100;22|1;100;22,00|2;5;22,00"
            << "22 100,00 22,00 0,00 | 22,00 105,00 23,10 0,00 | - - - 3,33 | - - - | 0,00 250,10";
        QTest::newRow("rate text of an ordinary line is not read")
            << ""
            << "1;100;N4|1;10;n4"
            << "N4 100,00 0,00 0,00 | n4 10,00 0,00 0,00 | - - - 3,33 | - - - | 0,00 110,00";
        // float(1000000,01) = 1000000; the sums 2000000,01 and 3000000,01 are
        // stored as 2000000 and 3000000 (float steps 0.125 and 0.25).
        QTest::newRow("float sums")
            << ""
            << "1;1000000,01;22|1;1000000,01;22|1;1000000,01;22"
            << "22 3000000,00 660000,00 0,00 | - - - 3,33 | - - - 3,33 | - - - | 0,00 3660000,00";
        // float(102771,65) = 102771.6484375; VAT 10277.16484375 is written as is
        // (10277,16; stored as float it would be 10277.1650390625); T holds the
        // float, so tot_doc = 102771.6484375 + 10277.1650390625 = 113048.81347...
        QTest::newRow("amounts formatted from the wide result")
            << ""
            << "1;102771,65;10"
            << "10 102771,65 10277,16 0,00 | - - - 3,33 | - - - 3,33 | - - - | 0,00 113048,81";
        // Empty rates: a group of their own at VAT 0, in the first slot left free.
        QTest::newRow("empty rate alone")
            << "spese=10"
            << "1;100;"
            << "- 100,00 0,00 0,00 | - - - 3,33 | - - - 3,33 | - - - | 0,00 110,00";
        QTest::newRow("empty rate before a rate")
            << ""
            << "1;100;|1;50;22"
            << "22 50,00 11,00 0,00 | - 100,00 0,00 0,00 | - - - 3,33 | - - - | 0,00 161,00";
        QTest::newRow("empty rate between rates") << ""
                                                  << "1;50;22|1;100;|1;20;10|1;30;;PR"
                                                  << "22 50,00 11,00 0,00 | 10 20,00 2,00 0,00 | - "
                                                     "100,00 0,00 30,00 | - - - | 0,00 183,00";
        QTest::newRow("empty rate in slot 4") << ""
                                              << "1;1;22|1;1;10|1;100;|1;1;4|1;50;;AB"
                                              << "22 1,00 0,22 0,00 | 10 1,00 0,10 0,00 | 4 1,00 "
                                                 "0,04 0,00 | - 150,00 0,00 | 0,00 153,36";
        QTest::newRow("empty rate after four rates")
            << ""
            << "1;1;22|1;1;10|1;100;|1;1;4|1;1;5"
            << "22 1,00 0,22 0,00 | 10 1,00 0,10 0,00 | 4 1,00 0,04 0,00 | 5 1,00 0,05 | 0,00 4,41";
    }
    void totali() {
        QFETCH(QString, testata);
        QFETCH(QString, righe);
        QFETCH(QString, atteso);
        prepara(testata, righe);
        CalcolaTotali(*diz->Testata, *diz->Detta);
        QCOMPARE(riepilogo(), atteso);
        QCOMPARE(diz->Detta->recNo(), diz->Detta->recordCount() - 1);
        QCOMPARE(diz->Testata->state(), TableState::Browse);
    }

    void rateOrderDecidesTheSlot_data() {
        QTest::addColumn<QString>("righe");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("22 first") << "1;100;22|1;50;10"
                                  << "22 N1 I Art. 10 10 D";
        QTest::newRow("10 first") << "1;50;10|1;100;22"
                                  << "10 N1 I Art. 10 22 D";
    }
    void rateOrderDecidesTheSlot() {
        QFETCH(QString, righe);
        QFETCH(QString, atteso);
        prepara("natura=N1;normativa=Art. 10;esig_iva2=D", righe);
        CalcolaTotali(*diz->Testata, *diz->Detta);
        QCOMPARE(colonne("aliquota, natura, esig_iva, normativa, aliquota2, esig_iva2"), atteso);
    }

    // A failed run leaves the header as it was, stored and shown; the message names
    // the line's prog and the column.
    void failureKeepsTheHeader_data() {
        QTest::addColumn<QString>("righe");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<int>("riga");
        QTest::newRow("grouping point in prezzo_tot")
            << "1;100;22|1;1.000,00;10|1;5;4"
            << "Riga 2, prezzo_tot: '1.000,00' non è un valore numerico valido" << 1;
        QTest::newRow("quantity not a number")
            << "1;100;22|1.000;50;10"
            << "Riga 2, quantita: '1.000' non è un valore numerico valido" << 1;
        QTest::newRow("empty quantity")
            << ";50;10"
            << "Riga 1, quantita: '' non è un valore numerico valido" << 0;
        QTest::newRow("gift line rate not a number")
            << "1;100;22|1;100;10|1;20;N4;PR"
            << "Riga 3, aliquota: 'N4' non è un valore numerico valido" << 2;
        QTest::newRow("empty rate line")
            << "1;100;22|1;1.000;"
            << "Riga 2, prezzo_tot: '1.000' non è un valore numerico valido" << 1;
        // 1,002 lines of 999999999,99 at 22%: tot_doc needs 16 characters, the column 12.
        QTest::newRow("amount longer than its column")
            << QStringList(1002, "1;999999999,99;22").join('|')
            << "L'importo 1002009526272,00 calcolato per imponibile supera i 12 caratteri della "
               "colonna"
            << 1001;
        QTest::newRow("amount beyond a float")
            << "1;1e39;22" << QString::fromUtf8("L'importo calcolato per imponibile è fuori misura")
            << 0;
    }
    void failureKeepsTheHeader() {
        QFETCH(QString, righe);
        QFETCH(QString, messaggio);
        QFETCH(int, riga);
        prepara("", righe);
        // Every statement that changes the header leaves its totals in a log.
        TestDb::esegui(db, {"DROP TRIGGER IF EXISTS registra", "DROP TABLE IF EXISTS registro",
                            "CREATE TABLE registro (voce TEXT)",
                            "CREATE TRIGGER registra AFTER UPDATE ON testata FOR EACH ROW "
                            "INSERT INTO registro VALUES (CONCAT_WS(' ', NEW.imponibile, "
                            "NEW.tot_doc))"});
        const QString prima = "9 1,11 2,22 3,33 | 8 1,11 2,22 3,33 | 7 1,11 2,22 3,33 | "
                              "6 1,11 2,22 | 4,44 5,55";
        try {
            CalcolaTotali(*diz->Testata, *diz->Detta);
            QFAIL("no error");
        } catch (const Errore& e) {
            QCOMPARE(e.messaggio(), messaggio);
        }
        QCOMPARE(riepilogo(), prima);
        QCOMPARE(TestDb::valore(db, "SELECT COUNT(*) FROM registro"), QString("0"));
        QCOMPARE(diz->Testata->field("tot_doc").asString(), QString("5,55"));
        QCOMPARE(diz->Testata->field("aliquota").asString(), QString("9"));
        QCOMPARE(diz->Testata->state(), TableState::Browse);
        QCOMPARE(diz->Detta->recNo(), riga);
        // Mended, the run writes the header with one statement: no reader ever sees
        // cleared slots beside an old tot_doc.
        TestDb::esegui(db,
                       {"UPDATE dettaglio SET quantita = '1', prezzo_tot = '1', aliquota = '22'"});
        diz->Detta->refresh();
        TestDb::esegui(db, {"DELETE FROM registro"});
        CalcolaTotali(*diz->Testata, *diz->Detta);
        QCOMPARE(TestDb::valore(db, "SELECT GROUP_CONCAT(voce) FROM registro"),
                 TestDb::valore(db, "SELECT CONCAT_WS(' ', imponibile, tot_doc) FROM testata"));
        TestDb::esegui(db, {"DROP TRIGGER registra"});
    }

    // The totals are computed over the tables passed in, whatever the data module.
    void tablesPassedIn() {
        prepara("spese=10", "1;100;22");
        TDiz altro; // another data module, never connected
        CalcolaTotali(diz->fattura());
        QCOMPARE(colonne("imponibile, imposta, tot_doc"), QString("100,00 22,00 134,20"));
        QVERIFY(!altro.Testata->isOpen());
    }

    void noHeaderRowStartsOne() {
        prepara("", "");
        TestDb::esegui(db, {"DELETE FROM testata"});
        diz->Testata->refresh();
        QVERIFY(diz->Testata->isEmpty());
        CalcolaTotali(*diz->Testata, *diz->Detta);
        QCOMPARE(TestDb::valore(db, "SELECT COUNT(*) FROM testata"), QString("1"));
        QCOMPARE(colonne("tipo_doc, spese, IF(aliquota = '', '-', 'x'), sc_importo, tot_doc"),
                 QString("TD01 0,00 - 0,00 0,00"));
    }

    void pendingHeaderChangesArePosted() {
        prepara("", "1;100;22");
        diz->Testata->edit();
        diz->Testata->field("rag_soc").setAsString("Rossi Srl");
        diz->Testata->field("spese").setAsString("10");
        CalcolaTotali(*diz->Testata, *diz->Detta);
        QCOMPARE(colonne("rag_soc, spese, tot_doc"), QString("Rossi Srl 10 134,20"));
    }
};

QTEST_GUILESS_MAIN(TstCalcolaTotali)
#include "tst_calcolatotali.moc"
