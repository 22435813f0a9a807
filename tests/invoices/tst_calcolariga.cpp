#include "TestDb.h"
#include "data/TDiz.h"
#include "invoices/CalcolaRiga.h"
#include "invoices/ErroreImporto.h"
#include "invoices/ErroreRiga.h"
#include "invoices/OperazioniRiga.h"
#include "platform/ErroreConversione.h"

#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(CampiRiga)

// The line editor's computations and its writes into dettaglio of invoice 1.
class TstCalcolaRiga : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_calcolariga");
    std::unique_ptr<TDiz> diz;

    static CampiRiga campi(const QString& q, const QString& p, const QString& k, const QString& d) {
        CampiRiga c;
        c.quantita = q;
        c.prezzoUnit = p;
        c.scTipo = k;
        c.scPerc = d;
        c.scImporto = c.prezzoTot = QStringLiteral("old");
        return c;
    }

    // Lines given as "prog,'descrizione','quantita','prezzo_tot','aliquota'" tuples.
    void prepara(const QStringList& righe) {
        QStringList sql = {
            "DELETE FROM testata", "DELETE FROM dettaglio",
            "INSERT INTO testata (id_invio, spese, spese2) VALUES (1, '0,00', '0,00')"};
        for (const QString& r : righe)
            sql << "INSERT INTO dettaglio (id_invio, prog, descrizione, quantita, prezzo_tot, "
                   "aliquota) VALUES (1, " +
                       r + ")";
        TestDb::esegui(db, sql);
        diz->Testata->open();
        diz->Detta->open();
    }

    QString elencoRighe() {
        return TestDb::valore(db,
                              "SELECT GROUP_CONCAT(CONCAT_WS(':', IFNULL(prog, 'null'), "
                              "descrizione) ORDER BY descrizione SEPARATOR ' ') FROM dettaglio");
    }
    QString totale() { return TestDb::valore(db, "SELECT tot_doc FROM testata"); }

private slots:
    void initTestCase() { TestDb::ricrea(db, {"xml_quirn.sql"}); }
    void init() {
        diz = std::make_unique<TDiz>();
        TestDb::punta(*diz->xml_conn, db);
    }
    void cleanup() { diz.reset(); }

    void leavingAField_data() {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QString>("riscritto");
        QTest::addColumn<QString>("scImporto");
        QTest::addColumn<QString>("prezzoTot");
        QTest::newRow("quantity 3") << "quantita"
                                    << "3"
                                    << "3,00"
                                    << "3,00"
                                    << "27,000";
        QTest::newRow("quantity letters") << "quantita"
                                          << "tre"
                                          << "0,00"
                                          << "0,00"
                                          << "0,000";
        QTest::newRow("quantity grouped") << "quantita"
                                          << "1.000"
                                          << "0,00"
                                          << "0,00"
                                          << "0,000";
        QTest::newRow("price 12,5") << "prezzo"
                                    << "12,5"
                                    << "12,500"
                                    << "2,50"
                                    << "22,500";
        QTest::newRow("price grouped") << "prezzo"
                                       << "1.250,00"
                                       << "0,000"
                                       << "0,00"
                                       << "0,000";
        QTest::newRow("price empty") << "prezzo"
                                     << ""
                                     << "0,000"
                                     << "0,00"
                                     << "0,000";
        QTest::newRow("percent 5") << "perc"
                                   << "5"
                                   << "5,00"
                                   << "1,00"
                                   << "19,000";
        QTest::newRow("percent letters") << "perc"
                                         << "x"
                                         << ""
                                         << "0,00"
                                         << "20,000";
    }
    void leavingAField() {
        QFETCH(QString, campo);
        QFETCH(QString, digitato);
        QFETCH(QString, riscritto);
        QFETCH(QString, scImporto);
        QFETCH(QString, prezzoTot);
        CampiRiga c = campi("2,00", "10,000", "SC", "10,00");
        if (campo == "quantita") {
            c.quantita = digitato;
            OperazioniRiga::esciQuantita(c);
            QCOMPARE(c.quantita, riscritto);
        } else if (campo == "prezzo") {
            c.prezzoUnit = digitato;
            OperazioniRiga::esciPrezzoUnit(c);
            QCOMPARE(c.prezzoUnit, riscritto);
        } else {
            c.scPerc = digitato;
            OperazioniRiga::esciScPerc(c);
            QCOMPARE(c.scPerc, riscritto);
        }
        QCOMPARE(c.scImporto, scImporto);
        QCOMPARE(c.prezzoTot, prezzoTot);
    }

    void lineTotal_data() {
        QTest::addColumn<CampiRiga>("c");
        QTest::addColumn<QString>("atteso"); // scPerc scImporto prezzoTot
        QTest::newRow("SC 10%") << campi("2", "10", "SC", "10") << "10|2,00|18,000";
        QTest::newRow("MG 10%") << campi("2", "10", "MG", "10") << "10|2,00|22,000";
        QTest::newRow("no kind") << campi("2", "10", "", "10") << "||20,000";
        QTest::newRow("percent not a number") << campi("2", "10", "SC", "x") << "x|0,00|20,000";
        QTest::newRow("quantity not a number") << campi("due", "10", "MG", "10") << "10|0,00|0,000";
        // float(1234567,891) = 1234567.875
        QTest::newRow("float price") << campi("1", "1234567,891", "", "") << "||1234567,875";
        // 3 × float(0,35) = 1.04999998..: discount 0.10499999.. -> 0,10
        QTest::newRow("float discount") << campi("3", "0,35", "SC", "10") << "10|0,10|0,945";
    }
    void lineTotal() {
        QFETCH(CampiRiga, c);
        QFETCH(QString, atteso);
        CalcolaRiga(c);
        QCOMPARE(QStringList({c.scPerc, c.scImporto, c.prezzoTot}).join('|'), atteso);
    }

    void overflowShowsErrore() {
        CampiRiga c = campi("1E30", "1E30", "SC", "10");
        try {
            OperazioniRiga::esciScelta(c);
            QFAIL("no error");
        } catch (const ErroreRiga& e) {
            QCOMPARE(e.messaggio(), QString("Errore"));
        }
        QCOMPARE(c.scImporto + c.prezzoTot, QString("oldold"));
    }

    void insRigaAfterModRiga() {
        prepara({"1, 'Vite', '3,00', '1,500', '10'"});
        TestDb::esegui(db, {"UPDATE dettaglio SET codice_tipo = 'EAN', codice_val = '123', "
                            "um = 'KG', prezzo_unit = '0,500', sc_tipo = 'XX', sc_perc = '5', "
                            "tipo_cessione = 'PR', natura = 'N2'"});
        diz->Detta->refresh();
        CampiRiga c;
        c.tipoCessione = "AB";
        c.scImporto = "9";
        OperazioniRiga::modRiga(*diz->Testata, *diz->Detta, c);
        const auto testo = [&c] {
            return QStringList({c.descrizione, c.quantita, c.um, c.aliquota, c.codiceTipo,
                                c.codiceVal, c.prezzoUnit, c.scTipo, c.scPerc, c.scImporto,
                                c.prezzoTot, c.tipoCessione, c.ritenuta, c.natura, c.rifAmm})
                .join('|');
        };
        QCOMPARE(testo(), QString("Vite|3,00|KG|10|EAN|123|0,500||5||1,500|AB|||"));
        OperazioniRiga::insRiga(*diz->Testata, c);
        QCOMPARE(testo(), QString("Vite|0,00|PZ|22|EAN|123|0,00||5||1,500|AB|||"));
    }

    void newLineNumber_data() {
        QTest::addColumn<QStringList>("righe");
        QTest::addColumn<int>("elimina"); // row deleted first, -1 for none
        QTest::addColumn<QString>("atteso");
        QTest::newRow("no lines") << QStringList() << -1 << "1:Nuova";
        QTest::newRow("after deleting line 2 of 3")
            << QStringList(
                   {"1, 'A', '1', '1', '22'", "2, 'B', '1', '1', '22'", "3, 'C', '1', '1', '22'"})
            << 1 << "1:A 3:C 4:Nuova";
        QTest::newRow("deleting the last line")
            << QStringList({"1, 'A', '1', '1', '22'", "2, 'B', '1', '1', '22'"}) << 1
            << "1:A 2:Nuova";
        QTest::newRow("last prog empty")
            << QStringList({"7, 'A', '1', '1', '22'", "NULL, 'B', '1', '1', '22'"}) << -1
            << "7:A null:B 1:Nuova";
    }
    void newLineNumber() {
        QFETCH(QStringList, righe);
        QFETCH(int, elimina);
        QFETCH(QString, atteso);
        prepara(righe);
        if (elimina >= 0) {
            diz->Detta->moveTo(elimina);
            OperazioniRiga::eliminaRiga(*diz->Testata, *diz->Detta);
        }
        CampiRiga c;
        c.descrizione = "Nuova";
        OperazioniRiga::insRiga(*diz->Testata, c);
        c.quantita = "2";
        OperazioniRiga::esciQuantita(c);
        c.prezzoUnit = "10";
        OperazioniRiga::esciPrezzoUnit(c);
        OperazioniRiga::registra(*diz->Testata, *diz->Detta, ModoRiga::Nuova, c);
        QCOMPARE(elencoRighe(), atteso);
    }

    void registraWritesTheFieldsAndTheTotals() {
        prepara({"1, 'A', '1', '100', '22'", "2, 'B', '1', '50', '22'"});
        CampiRiga c = campi("2,00", "10,000", "MG", "10");
        c.descrizione = "Bulloni";
        c.um = "PZ";
        c.aliquota = "10";
        c.tipoCessione = "AC";
        c.ritenuta = "SI";
        c.rifAmm = "R1";
        OperazioniRiga::esciScelta(c);
        diz->Detta->first();
        OperazioniRiga::registra(*diz->Testata, *diz->Detta, ModoRiga::Corrente, c);
        QCOMPARE(TestDb::valore(db, "SELECT CONCAT_WS('|', prog, descrizione, quantita, um, "
                                    "prezzo_unit, sc_tipo, sc_perc, sc_importo, prezzo_tot, "
                                    "aliquota, tipo_cessione, ritenuta, rif_amm, "
                                    "IFNULL(codice_tipo, 'null'), IFNULL(natura, 'null')) "
                                    "FROM dettaglio WHERE prog = 1"),
                 QString("1|Bulloni|2,00|PZ|10,000|MG|10|2,00|22,000|10|AC|SI|R1||"));
        QCOMPARE(totale(), QString("85,20"));
        // Deleting a line leaves the totals as they were.
        diz->Detta->first();
        OperazioniRiga::eliminaRiga(*diz->Testata, *diz->Detta);
        QCOMPARE(elencoRighe(), QString("2:B"));
        QCOMPARE(totale(), QString("85,20"));
    }

    void registraKeepsTheLineWhenTheTotalsFail() {
        prepara({"1, 'A', '1', '100', '22'"});
        CampiRiga c = campi("1", "1.000", "", "");
        c.descrizione = "B";
        c.prezzoTot = "1.000,000";
        // A computed total longer than its column is refused before anything is written.
        c.prezzoTot = "1000000000,000";
        QVERIFY_THROWS_EXCEPTION(ErroreImporto, OperazioniRiga::registra(*diz->Testata, *diz->Detta,
                                                                         ModoRiga::Nuova, c));
        QCOMPARE(elencoRighe(), QString("1:A"));
        c.prezzoTot = "1.000,000";
        QVERIFY_THROWS_EXCEPTION(
            ErroreConversione,
            OperazioniRiga::registra(*diz->Testata, *diz->Detta, ModoRiga::Nuova, c));
        QCOMPARE(elencoRighe(), QString("1:A 2:B"));
    }

    void invoiceWithoutLines() {
        prepara({});
        CampiRiga c;
        c.descrizione = "resta";
        for (int i = 0; i < 3; ++i) {
            try {
                if (i == 0)
                    OperazioniRiga::modRiga(*diz->Testata, *diz->Detta, c);
                else if (i == 1)
                    OperazioniRiga::registra(*diz->Testata, *diz->Detta, ModoRiga::Corrente, c);
                else
                    OperazioniRiga::eliminaRiga(*diz->Testata, *diz->Detta);
                QFAIL("no error");
            } catch (const ErroreRiga& e) {
                QCOMPARE(e.messaggio(), QString(i < 2 ? "Nessuna riga da modificare"
                                                      : "Nessuna riga da eliminare"));
            }
        }
        QCOMPARE(c.descrizione, QString("resta"));
        QCOMPARE(TestDb::valore(db, "SELECT COUNT(*) FROM dettaglio"), QString("0"));
    }
};

QTEST_GUILESS_MAIN(TstCalcolaRiga)
#include "tst_calcolariga.moc"
