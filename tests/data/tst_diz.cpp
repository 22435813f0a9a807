#include "TestDb.h"
#include "data/TDiz.h"
#include "db/DbError.h"

#include <QtTest>
#include <memory>

// The data module against per-test copies of both databases.
class TstDiz : public QObject {
    Q_OBJECT
    const QString fatt = QStringLiteral("gfe_t_diz");
    const QString cont = QStringLiteral("gfe_t_diz_q19");
    std::unique_ptr<TDiz> diz;

    void inserisciRiga(const QString& valori) {
        TestDb::esegui(cont, {"INSERT INTO dettag (prot_testa, colli, quantita, pr_lordo, sc_1, "
                              "sc_2, sc_3, um, aliquota) VALUES " +
                              valori});
    }

private slots:
    void initTestCase() {
        TestDb::ricrea(fatt, {"xml_quirn.sql"});
        TestDb::ricrea(cont, {"quirn19.sql"});
    }
    void init() {
        diz = std::make_unique<TDiz>();
        TestDb::punta(*diz->xml_conn, fatt);
        TestDb::punta(*diz->Dati, cont);
    }
    void cleanup() { diz.reset(); }

    void fixedDefaultsAndOverrides() {
        const QByteArray port = qgetenv("GFE_DB_PORT"), user = qgetenv("GFE_DB_USER"),
                         password = qgetenv("GFE_DB_PASSWORD");
        qunsetenv("GFE_DB_PORT");
        qunsetenv("GFE_DB_USER");
        qunsetenv("GFE_DB_PASSWORD");
        {
            TDiz d;
            QCOMPARE(d.xml_conn->database(), QString("xml_quirn"));
            QCOMPARE(d.xml_conn->port(), 3306);
            QCOMPARE(d.xml_conn->user(), QString("root"));
            QCOMPARE(d.xml_conn->password(), QString(GFE_DB_PASSWORD_PREDEFINITA));
            QCOMPARE(d.Dati->database(), QString("quirn19"));
            QVERIFY(!d.xml_conn->isConnected() && !d.Testata->isOpen());
            QCOMPARE(d.Testata->autoRefreshInterval(), 10000);
            QCOMPARE(d.Testa_Car->autoRefreshInterval(), 5000);
            QCOMPARE(d.Detta_Car->autoRefreshInterval(), 5000);
        }
        qputenv("GFE_DB_PORT", "4406");
        qputenv("GFE_DB_USER", "gfe");
        qputenv("GFE_DB_PASSWORD", "segreta");
        TDiz d;
        for (Connection* c : {d.xml_conn, d.Dati}) {
            QCOMPARE(c->port(), 4406);
            QCOMPARE(c->user(), QString("gfe"));
            QCOMPARE(c->password(), QString("segreta"));
        }
        // A port given wrong is refused by name, never replaced by another one.
        for (const char* wrong : {"abc", "", "-5", "99999"}) {
            qputenv("GFE_DB_PORT", wrong);
            TDiz sbagliata;
            for (Connection* c : {sbagliata.xml_conn, sbagliata.Dati}) {
                try {
                    c->connect();
                    QFAIL(qPrintable(QString("connected with GFE_DB_PORT '%1'").arg(wrong)));
                } catch (const DbError& e) {
                    QVERIFY2(e.messaggio().contains("GFE_DB_PORT") &&
                                 e.messaggio().contains(QString("'%1'").arg(wrong)),
                             qPrintable(e.messaggio()));
                }
            }
        }
        for (const auto& [name, value] : {std::pair{"GFE_DB_PORT", port},
                                          {"GFE_DB_USER", user},
                                          {"GFE_DB_PASSWORD", password}}) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

    void newHeaderHoldsTheDefaults() {
        for (Table* t : diz->tabelleFatture())
            t->open();
        diz->Testata->append();
        const QStringList expected = {"tipo_doc=TD01",   "tipo_pag=TP02",
                                      "mod_pag=MP01",    "esig_iva=I",
                                      "esig_iva2=I",     "esig_iva3=I",
                                      "causale=Vendita", "trasporto=Vettore",
                                      "porto=Franco",    "aspetto=Cartoni, Imballi",
                                      "colli=",          "spese=0,00",
                                      "spese2=0,00",     "spese3=0,00",
                                      "arrot=0,00",      "arrot2=0,00",
                                      "arrot3=0,00",     "inviata=False",
                                      "rag_soc=",        "esig_iva4=",
                                      "aliquota=",       "nome_file="};
        for (const QString& e : expected) {
            const QString col = e.section('=', 0, 0);
            const Field f = diz->Testata->field(col);
            const QString got =
                col == "inviata" ? (f.asBoolean() ? "True" : "False") : f.asString();
            QCOMPARE(col + "=" + got, e);
        }
        diz->Testata->post();
        QCOMPARE(diz->Testata->field("prot").asString(),
                 diz->Testata->field("id_invio").asString());
    }

    void protocolNumber_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("nomeFile");
        QTest::addColumn<QString>("prot");
        QTest::newRow("up to 9999 the id") << 9999 << "IT01234567897_A0009.xml"
                                           << "9999";
        QTest::newRow("from 10000 the file name's number") << 10000 << "IT01234567897_A0001.xml"
                                                           << "A0001";
        QTest::newRow("short name") << 10001 << "IT0123456789"
                                    << "";
        QTest::newRow("partial") << 10002 << "IT01234567897_A0"
                                 << "A0";
        QTest::newRow("no name") << 10003 << ""
                                 << "";
    }
    void protocolNumber() {
        QFETCH(int, id);
        QFETCH(QString, nomeFile);
        QFETCH(QString, prot);
        TestDb::esegui(fatt, {"DELETE FROM testata", QString("INSERT INTO testata (id_invio, "
                                                             "nome_file) VALUES (%1, '%2')")
                                                         .arg(id)
                                                         .arg(nomeFile)});
        diz->Testata->open();
        QCOMPARE(diz->Testata->field("prot").asString(), prot);
    }

    void linesAndReferencesFollowTheHeader() {
        TestDb::esegui(fatt,
                       {"DELETE FROM testata", "INSERT INTO testata (id_invio) VALUES (7), (8)",
                        "INSERT INTO dettaglio (id_invio, prog) VALUES (8, 1), (8, 2)",
                        "INSERT INTO test_dati VALUES (8, 'DatiContratto')",
                        "INSERT INTO dati_acquisto (id_invio, tipo, n_linea) VALUES "
                        "(8, 'DatiContratto', 4)"});
        for (Table* t : diz->tabelleFatture())
            t->open();
        QCOMPARE(diz->Detta->recordCount(), 0);
        diz->Testata->last();
        QCOMPARE(diz->Detta->recordCount(), 2);
        QCOMPARE(diz->ContrattoT->recordCount(), 1);
        QCOMPARE(diz->ContrattoD->field("n_linea").asInteger(), 4);
    }

    void headerCalculatedFields_data() {
        QTest::addColumn<QString>("valori");
        QTest::addColumn<QList<double>>("attesi"); // Imp_Merce .. totale
        QTest::newRow("slots and expenses")
            << "imponibile1=100, imponibile2=50, iva1=22, iva2=5, val_sconto1=10, spese_tr=2.5, "
               "spese_inc=0, aliq_spese=1, bolli=2, abbuono=1"
            << QList<double>{150, 27, 10, 142.5, 27.02, 170.52};
        QTest::newRow("no VAT: only the expenses' VAT")
            << "imponibile1=10, spese_tr=10, spese_inc=5, aliq_spese=22"
            << QList<double>{10, 0, 0, 25, 3.3, 28.3};
        QTest::newRow("nulls count as zero")
            << "imponibile1=NULL" << QList<double>{0, 0, 0, 0, 0, 0};
    }
    void headerCalculatedFields() {
        QFETCH(QString, valori);
        QFETCH(QList<double>, attesi);
        TestDb::esegui(cont, {"DELETE FROM testata",
                              "INSERT INTO testata (protocollo, anno) VALUES (1, 2023)",
                              "UPDATE testata SET " + valori});
        diz->Test_Fatt->open();
        const QStringList campi = {"Imp_Merce",  "Iva_Merce",  "sconto",
                                   "Imp_Totale", "Iva_Totale", "totale"};
        for (int i = 0; i < campi.size(); ++i)
            QCOMPARE(diz->Test_Fatt->field(campi[i]).asFloat(), attesi[i]);
    }

    void lineCalculatedFields_data() {
        QTest::addColumn<QString>("riga");
        QTest::addColumn<double>("netto");
        QTest::addColumn<double>("impNetto");
        QTest::addColumn<double>("prIvato");
        QTest::newRow("CL counts packages")
            << "(1, 3, 7.5, 2, 0, 0, 0, 'CL', 0)" << 2.0 << 6.0 << 2.0;
        QTest::newRow("PZ counts quantity")
            << "(1, 3, 7.5, 2, 0, 0, 0, 'PZ', 0)" << 2.0 << 15.0 << 2.0;
        QTest::newRow("lower-case cl is not CL")
            << "(1, 3, 7.5, 2, 0, 0, 0, 'cl', 0)" << 2.0 << 15.0 << 2.0;
        QTest::newRow("discounts compound")
            << "(1, 0, 1, 100, 10, 5, 0, 'PZ', 22)" << 85.5 << 85.5 << 104.31;
        QTest::newRow("banker's 0.125")
            << "(1, 0, 1, 0.125, 0, 0, 0, 'PZ', 0)" << 0.125 << 0.125 << 0.12;
        QTest::newRow("single-precision quantity")
            << "(1, 0, 0.1, 10, 0, 0, 0, 'PZ', 0)" << 10.0 << 1.0000000149011612 << 10.0;
        // 1.00005 is stored a little above the half: four decimals round it up.
        QTest::newRow("four decimals")
            << "(1, 0, 2, 1.00005, 0, 0, 0, 'PZ', 0)" << 1.0001 << 2.0002 << 1.0;
    }
    void lineCalculatedFields() {
        QFETCH(QString, riga);
        QFETCH(double, netto);
        QFETCH(double, impNetto);
        QFETCH(double, prIvato);
        TestDb::esegui(cont, {"DELETE FROM testata", "DELETE FROM dettag",
                              "INSERT INTO testata (protocollo, anno) VALUES (1, 2023)"});
        inserisciRiga(riga);
        diz->BolleT->setSql("select * from testata");
        diz->BolleT->open();
        diz->Dett_Fatt->open();
        QCOMPARE(diz->Dett_Fatt->recordCount(), 1);
        QCOMPARE(diz->Dett_Fatt->field("Netto").asFloat(), netto);
        QCOMPARE(diz->Dett_Fatt->field("Imp_Netto").asFloat(), impNetto);
        QCOMPARE(diz->Dett_Fatt->field("pr_ivato").asFloat(), prIvato);
    }

    void linesFollowTheExchangedMaster() {
        TestDb::esegui(cont, {"DELETE FROM testata", "DELETE FROM dettag",
                              "INSERT INTO testata (protocollo, anno, reg_doc) VALUES "
                              "(1, 2023, 'FV'), (2, 2023, 'BO')"});
        inserisciRiga("(1, 0, 1, 1, 0, 0, 0, 'PZ', 22), (2, 0, 2, 1, 0, 0, 0, 'PZ', 22), "
                      "(2, 0, 3, 1, 0, 0, 0, 'PZ', 22)");
        diz->Test_Fatt->setSql("select * from testata where reg_doc=\"FV\"");
        diz->Test_Fatt->open();
        diz->BolleT->setSql("select * from testata where reg_doc=\"BO\"");
        diz->BolleT->open();
        diz->Dett_Fatt->open();
        QCOMPARE(diz->Dett_Fatt->recordCount(), 2);
        diz->Dett_Fatt->close();
        diz->Dett_Fatt->setMasterSource(diz->Test_FattS);
        diz->Dett_Fatt->open();
        QCOMPARE(diz->Dett_Fatt->recordCount(), 1);
        QCOMPARE(diz->Dett_Fatt->field("quantita").asFloat(), 1.0);
    }

    void declaredColumnMissingOrMistyped_data() {
        QTest::addColumn<QString>("alter");
        QTest::newRow("missing") << "ALTER TABLE testata DROP COLUMN bolli";
        QTest::newRow("text for number") << "ALTER TABLE testata MODIFY imponibile1 VARCHAR(10)";
    }
    void declaredColumnMissingOrMistyped() {
        QFETCH(QString, alter);
        TestDb::ricrea(cont, {"quirn19.sql"});
        TestDb::esegui(cont, {alter});
        QVERIFY_THROWS_EXCEPTION(DbError, diz->Test_Fatt->open());
        QVERIFY(!diz->Test_Fatt->isOpen());
        TestDb::ricrea(cont, {"quirn19.sql"});
    }
};

QTEST_GUILESS_MAIN(TstDiz)
#include "tst_diz.moc"
