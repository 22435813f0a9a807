#include "invoices/TAreaFatture.h"
#include "tst_elenco_fatt_ambiente.h"

// "Invio a SDI", "Invio P.A." and "Invio Fatture al SDI" on the demo invoices
// (1 sent, 2 to 4 not): the addresses they open, and what they refuse.
class TstElencoFattInvio : public QObject {
    Q_OBJECT
    AmbienteElencoFatt amb{QStringLiteral("gfe_t_elenco_fatt_invio")};

    TElenco_Fatt* w() { return amb.finestra.get(); }
    FakeDesktop& desk() { return amb.desktop; }
    static QString pagina(const QString& php, const QString& nome, int id) {
        return "http://127.0.0.1:8780/Fatt_Ven/" + php + "?nome_file=" + nome +
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
            << QStringList{"http://127.0.0.1:8780/Fatt_Ven/mail_sdi.php?nome_file=&n_invio=4"};
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

    // The batch opens one address, whatever the invoices, and leaves the header table
    // as it was: same current row, key order and refresh through the change log.
    void batchOpensOneAddressAndKeepsTheList() {
        QVERIFY(amb.apri());
        Table* testata = amb.diz->Testata;
        QVERIFY(testata->locate("id_invio", 3));
        const bool registro = testata->followsChangeLog();
        const bool automatico = testata->autoRefreshActive();
        desk().risposte = {false};
        QTest::mouseClick(w()->Panel1->BitBtn19, Qt::LeftButton);
        QCOMPARE(desk().domande, QStringList{"Confermi invio Fatture al SDI: ?"});
        QCOMPARE(desk().indirizzi, QStringList());
        desk().risposte = {true};
        QTest::mouseClick(w()->Panel1->BitBtn19, Qt::LeftButton);
        QCOMPARE(desk().indirizzi, QStringList{"http://127.0.0.1:8780/Fatt_Ven/invio_lotto.php"});
        QCOMPARE(desk().messaggi, QStringList());
        QCOMPARE(testata->field("id_invio").asInteger(), 3);
        QCOMPARE(testata->followsChangeLog(), registro);
        QCOMPARE(testata->autoRefreshActive(), automatico);
        TestDb::esegui(amb.db, {"UPDATE testata SET inviata=1 WHERE id_invio=2"});
        testata->refresh();
        QStringList righe;
        for (testata->first(); !testata->eof(); testata->next())
            righe << testata->field("id_invio").asString() + ":" +
                         QString::number(testata->field("inviata").asInteger());
        QCOMPARE(righe, QStringList({"1:1", "2:1", "3:0", "4:0"}));
    }
};

QTEST_MAIN(TstElencoFattInvio)
#include "tst_elenco_fatt_invio.moc"
