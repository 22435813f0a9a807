#include "fatturapa/ValidatoreFatturaPA.h"
#include "invoices/TAreaFatture.h"
#include "tst_elenco_fatt_ambiente.h"

#include <QFile>
#include <QTemporaryDir>

// "Creazione File XML" and "XML P.A." on the demo invoices: the file is written
// into the company's folder under the series the caption chooses, then checked.
class TstElencoFattXml : public QObject {
    Q_OBJECT
    AmbienteElencoFatt amb{QStringLiteral("gfe_t_elenco_fatt_xml")};
    std::unique_ptr<QTemporaryDir> cartella;

    TElenco_Fatt* w() { return amb.finestra.get(); }
    FakeDesktop& desk() { return amb.desktop; }
    QString file(const QString& nome) { return cartella->filePath(nome); }

    // What the user is told about a file with problems.
    static QString avviso(const QString& percorso) {
        QStringList righe{"Attenzione: il file " + QFileInfo(percorso).fileName() +
                          " non supera i controlli dello SDI:"};
        for (const Problema& p : ValidatoreFatturaPA().valida(percorso))
            righe << "- " + p.descrizione();
        return righe.join('\n');
    }

private slots:
    void init() {
        cartella = std::make_unique<QTemporaryDir>();
        QVERIFY(cartella->isValid());
        TestDb::ricrea(amb.db, {"xml_quirn.sql", "demo_xml_quirn.sql"});
        TestDb::esegui(amb.db, {"UPDATE azienda SET path='" + cartella->path() + "/'"});
        QVERIFY(amb.apri());
    }
    void cleanup() {
        amb.chiudi();
        cartella.reset();
    }

    void cleanFileGivesNoMessage_data() {
        QTest::addColumn<int>("fattura");
        QTest::addColumn<bool>("pa");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QString>("nome");
        QTest::newRow("FPR12, caption A") << 3 << false << "A"
                                          << "IT01234567897_00003.xml";
        QTest::newRow("FPR12, other caption") << 3 << false << "Sede"
                                              << "IT01234567897_A0003.xml";
        QTest::newRow("FPA12, empty caption") << 2 << true << ""
                                              << "IT01234567897_A0002.xml";
    }
    void cleanFileGivesNoMessage() {
        QFETCH(int, fattura);
        QFETCH(bool, pa);
        QFETCH(QString, titolo);
        QFETCH(QString, nome);
        w()->setWindowTitle(titolo);
        QVERIFY(amb.diz->Testata->locate("id_invio", fattura));
        QTest::mouseClick(pa ? w()->Panel1->BitBtn20 : w()->Panel1->BitBtn4, Qt::LeftButton);
        QCOMPARE(desk().messaggi, QStringList());
        QVERIFY(QFile::exists(file(nome)));
        QCOMPARE(
            amb.valore(
                QStringLiteral("SELECT nome_file FROM testata WHERE id_invio=%1").arg(fattura)),
            nome);
    }

    void problemsFoundAreShownInOneWarning() {
        TestDb::esegui(amb.db,
                       {"UPDATE testata SET cod_dest='', pec='', num_doc='' WHERE id_invio=3"});
        amb.diz->Testata->refresh();
        QVERIFY(amb.diz->Testata->locate("id_invio", 3));
        QTest::mouseClick(w()->Panel1->BitBtn4, Qt::LeftButton);
        const QString percorso = file("IT01234567897_A0003.xml");
        QVERIFY(QFile::exists(percorso));
        QCOMPARE(desk().messaggi.size(), 1);
        QVERIFY(desk().messaggi[0].count('\n') >= 1);
        QCOMPARE(desk().messaggi[0], avviso(percorso));
    }

    void writerFailureShowsItsMessage() {
        TestDb::esegui(amb.db, {"UPDATE testata SET data_doc='xx' WHERE id_invio=3"});
        amb.diz->Testata->refresh();
        QVERIFY(amb.diz->Testata->locate("id_invio", 3));
        QTest::mouseClick(w()->Panel1->BitBtn4, Qt::LeftButton);
        QCOMPARE(desk().messaggi, QStringList{QString::fromUtf8("'xx' non è una data valida")});
        QVERIFY(!QFile::exists(file("IT01234567897_A0003.xml")));
    }
};

QTEST_MAIN(TstElencoFattXml)
#include "tst_elenco_fatt_xml.moc"
