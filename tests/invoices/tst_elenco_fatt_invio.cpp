#include "invoices/TAreaFatture.h"
#include "tst_elenco_fatt_ambiente.h"

// "Invio a SDI", "Invio P.A." and "Invio Fatture al SDI" on the demo invoices
// (1 sent, 2 to 4 not): the pages they open, and what they refuse.
class TstElencoFattInvio : public QObject {
    Q_OBJECT
    AmbienteElencoFatt amb{QStringLiteral("gfe_t_elenco_fatt_invio")};

    TElenco_Fatt* w() { return amb.finestra.get(); }
    FakeDesktop& desk() { return amb.desktop; }
    static QString pagina(const QString& php, const QString& nome, int id) {
        return "http://localhost:8780/Fatt_Ven/" + php + "?nome_file=" + nome +
               "&n_invio=" + QString::number(id);
    }

private slots:
    void init() {
        qunsetenv("GFE_WEB_URL");
        TestDb::ricrea(amb.db, {"xml_quirn.sql", "demo_xml_quirn.sql"});
        // Some databases of the program allow an unknown sent state.
        TestDb::esegui(amb.db,
                       {"ALTER TABLE testata MODIFY inviata TINYINT(1) NULL",
                        "UPDATE testata SET nome_file='IT01234567897_00002.xml' WHERE id_invio=2",
                        "UPDATE testata SET nome_file='IT01234567897_A0003.xml' WHERE id_invio=3"});
    }
    void cleanup() {
        amb.chiudi();
        desk().indirizzi.clear();
    }

    void singleSend_data() {
        QTest::addColumn<bool>("pa");
        QTest::addColumn<int>("fattura");
        QTest::addColumn<QString>("nome"); // stored in nome_file first, unless "-"
        QTest::addColumn<bool>("si");
        QTest::addColumn<QStringList>("indirizzi");
        const QString f2 = "IT01234567897_00002.xml";
        QTest::newRow("ordinary page")
            << false << 2 << "-" << true << QStringList{pagina("mail_sdi.php", f2, 2)};
        QTest::newRow("public administration page")
            << true << 2 << "-" << true << QStringList{pagina("mail_sdi_pa.php", f2, 2)};
        QTest::newRow("No opens nothing") << false << 2 << "-" << false << QStringList();
        QTest::newRow("no file name: empty value")
            << false << 4 << "-" << true
            << QStringList{"http://localhost:8780/Fatt_Ven/mail_sdi.php?nome_file=&n_invio=4"};
        QTest::newRow("characters of addresses go in unchanged")
            << true << 4 << "a b&c#d.xml" << true
            << QStringList{pagina("mail_sdi_pa.php", "a b&c#d.xml", 4)};
    }
    void singleSend() {
        QFETCH(bool, pa);
        QFETCH(int, fattura);
        QFETCH(QString, nome);
        QFETCH(bool, si);
        QFETCH(QStringList, indirizzi);
        if (nome != "-")
            TestDb::esegui(amb.db, {"UPDATE testata SET nome_file='" + nome +
                                    "' WHERE id_invio=" + QString::number(fattura)});
        QVERIFY(amb.apri());
        QVERIFY(amb.diz->Testata->locate("id_invio", fattura));
        desk().risposte = {si};
        QTest::mouseClick(pa ? w()->Panel1->BitBtn21 : w()->Panel1->BitBtn5, Qt::LeftButton);
        QCOMPARE(desk().domande, QStringList{"Confermi invio a SDI ?"});
        QCOMPARE(desk().indirizzi, indirizzi);
        QCOMPARE(desk().messaggi, QStringList());
        QCOMPARE(amb.valore("SELECT GROUP_CONCAT(inviata ORDER BY id_invio) FROM testata"),
                 QString("1,0,0,0"));
    }

    void sentInvoiceIsRefusedByBothSingleSends() {
        QVERIFY(amb.apri());
        QVERIFY(amb.diz->Testata->locate("id_invio", 1));
        desk().risposte = {true, true};
        QTest::mouseClick(w()->Panel1->BitBtn5, Qt::LeftButton);
        QTest::mouseClick(w()->Panel1->BitBtn21, Qt::LeftButton);
        QCOMPARE(desk().messaggi, QStringList({"Fattura gia inviata", "Fattura gia inviata"}));
        QCOMPARE(desk().domande, QStringList());
        QCOMPARE(desk().indirizzi, QStringList());
    }

    void serverPartFromTheEnvironment() {
        qputenv("GFE_WEB_URL", "http://127.0.0.1:9911/");
        QVERIFY(amb.apri());
        QVERIFY(amb.diz->Testata->locate("id_invio", 2));
        desk().risposte = {true};
        QTest::mouseClick(w()->Panel1->BitBtn5, Qt::LeftButton);
        QCOMPARE(desk().indirizzi,
                 QStringList{"http://127.0.0.1:9911/Fatt_Ven/"
                             "mail_sdi.php?nome_file=IT01234567897_00002.xml&n_invio=2"});
    }

    // Unsent invoices only, always through the ordinary page (invoice 3's file is
    // a public administration one), an unknown sent state left out; afterwards all
    // invoices are listed again from the first.
    void batchOpensOnePagePerUnsentInvoice() {
        TestDb::esegui(amb.db, {"UPDATE testata SET inviata=NULL WHERE id_invio=4"});
        QVERIFY(amb.apri());
        QVERIFY(amb.diz->Testata->locate("id_invio", 3));
        desk().risposte = {false};
        QTest::mouseClick(w()->Panel1->BitBtn19, Qt::LeftButton);
        QCOMPARE(desk().domande, QStringList{"Confermi invio Fatture al SDI: ?"});
        QCOMPARE(desk().indirizzi, QStringList());
        desk().risposte = {true};
        QTest::mouseClick(w()->Panel1->BitBtn19, Qt::LeftButton);
        QCOMPARE(desk().indirizzi,
                 QStringList({pagina("mail_sdi.php", "IT01234567897_00002.xml", 2),
                              pagina("mail_sdi.php", "IT01234567897_A0003.xml", 3)}));
        QCOMPARE(desk().messaggi, QStringList());
        QCOMPARE(amb.diz->Testata->sql(), QString("select * from testata"));
        QCOMPARE(amb.diz->Testata->recordCount(), 4);
        QCOMPARE(amb.diz->Testata->recNo(), 0);
        QCOMPARE(
            amb.valore("SELECT GROUP_CONCAT(IFNULL(inviata,'-') ORDER BY id_invio) FROM testata"),
            QString("1,0,0,-"));
    }

    void batchOverNoUnsentInvoiceOpensNothing() {
        TestDb::esegui(amb.db, {"UPDATE testata SET inviata=1"});
        QVERIFY(amb.apri());
        desk().risposte = {true};
        QTest::mouseClick(w()->Panel1->BitBtn19, Qt::LeftButton);
        QCOMPARE(desk().indirizzi, QStringList());
        QCOMPARE(desk().messaggi, QStringList());
        QCOMPARE(amb.diz->Testata->recordCount(), 4);
    }
};

QTEST_MAIN(TstElencoFattInvio)
#include "tst_elenco_fatt_invio.moc"
