#include "Anteprima.h"
#include "FakeDesktop.h"
#include "TestDb.h"
#include "data/Migrazioni.h"
#include "data/TDiz.h"
#include "purchases/CaricaAcquisto.h"
#include "purchases/TElenco_Carico.h"
#include "widgets/DBGrid.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// The purchase invoice window over a per-test invoice database, run from a working
// folder whose gfe-web.ini names the received files' folder.
class TstElencoCarico : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_elenco_carico");
    QTemporaryDir lavoro;
    QString cartellaIniziale;
    std::unique_ptr<FakeDesktop> desktop;
    std::unique_ptr<TDiz> diz;
    std::unique_ptr<TElenco_Carico> w;

    QString arrivi() const { return lavoro.filePath("arrivi"); }
    void file(const QString& nome, const QByteArray& dati = "x") {
        QFile f(QDir(arrivi()).filePath(nome));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(dati);
    }
    QStringList elenco(QListWidget* l) {
        QStringList out;
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text().trimmed();
        return out;
    }
    void scegli(const QString& nome) {
        const QList<QListWidgetItem*> trovati = w->FileListBox1->findItems(nome, Qt::MatchExactly);
        QCOMPARE(trovati.size(), 1);
        w->FileListBox1->setCurrentItem(trovati.first());
        QCOMPARE(w->Edit1->text(), nome);
    }
    void invia() {
        QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
        QVERIFY(w->P2->isVisible());
        QTest::mouseClick(w->BitBtn3, Qt::LeftButton);
        QVERIFY(!w->P2->isVisible());
    }

private slots:
    void initTestCase() {
        QVERIFY(lavoro.isValid());
        QVERIFY(QDir(lavoro.path()).mkpath("arrivi/annate/2026"));
        QFile ini(lavoro.filePath("gfe-web.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("canale=cartella\nricevute=arrivi\n");
        cartellaIniziale = QDir::currentPath();
        QDir::setCurrent(lavoro.path());
        qunsetenv("GFE_WEB_URL");
    }
    void cleanupTestCase() { QDir::setCurrent(cartellaIniziale); }
    void init() {
        desktop = std::make_unique<FakeDesktop>();
        TestDb::ricrea(db, {"xml_quirn.sql"});
        diz = std::make_unique<TDiz>();
        TestDb::punta(*diz->xml_conn, db);
        diz->xml_conn->connect();
        applicaMigrazioni(*diz->xml_conn);
        diz->Testa_Car->open();
        diz->Detta_Car->open();
        w = std::make_unique<TElenco_Carico>(*diz);
        w->show();
    }
    void cleanup() {
        w.reset();
        diz.reset();
        desktop.reset();
        qunsetenv("GFE_WEB_URL");
    }

    // The lists open on the folder of gfe-web.ini and show the received files, signed
    // ones too; only the name, percent-encoded, reaches the page; with nothing chosen
    // the mask is sent.
    void sceltaEInvio() {
        file("IT0 a&b#1.xml");
        file("IT01234567890_00002.XML.p7m");
        file("note.txt");
        w->apriCartella(arrivi());
        QCOMPARE(w->cartella(), QDir(arrivi()).absolutePath());
        QCOMPARE(elenco(w->FileListBox1),
                 (QStringList{"IT0 a&b#1.xml", "IT01234567890_00002.XML.p7m"}));
        QCOMPARE(elenco(w->DirectoryListBox1).last(), QString("annate"));
        QCOMPARE(w->Edit1->text(), QString("*.xml"));
        QVERIFY(w->Edit1->isReadOnly());

        invia();
        scegli("IT0 a&b#1.xml");
        invia();
        qputenv("GFE_WEB_URL", "http://127.0.0.1:8999/");
        scegli("IT01234567890_00002.XML.p7m");
        invia();
        QCOMPARE(desktop->indirizzi,
                 (QStringList{
                     "http://127.0.0.1:8780/Fatt_Acq/read_xml.php?nome_file=%2A.xml",
                     "http://127.0.0.1:8780/Fatt_Acq/read_xml.php?nome_file=IT0%20a%26b%231.xml",
                     "http://127.0.0.1:8999/Fatt_Acq/read_xml.php?nome_file="
                     "IT01234567890_00002.XML.p7m"}));
        QCOMPARE(desktop->messaggi, QStringList());

        // Closed with the loading panel open, the window shows it again, with its folder.
        QTest::mouseClick(w->BitBtn2, Qt::LeftButton);
        w->close();
        w->show();
        QVERIFY(w->P2->isVisible());
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QVERIFY(!w->P2->isVisible());
        const QList<QListWidgetItem*> sotto =
            w->DirectoryListBox1->findItems("annate", Qt::MatchEndsWith);
        QCOMPARE(sotto.size(), 1);
        emit w->DirectoryListBox1->itemActivated(sotto.first());
        QCOMPARE(QFileInfo(w->cartella()).fileName(), QString("annate"));
        QCOMPARE(elenco(w->FileListBox1), QStringList());
    }

    // A name already loaded (whole value, letter case significant) is refused and
    // shown in the list; the same name in other letters is another file.
    void giaCaricato() {
        TestDb::esegui(db, {"INSERT INTO test_car (prot, rag_soc, nome_file) VALUES "
                            "(1, 'GROSSISTA NORD SPA', 'IT02345678904_a0B1c.xml'), "
                            "(2, 'ALTRO', 'IT02345678904_a0B1c.xml.p7m')"});
        diz->Testa_Car->refresh();
        diz->Testa_Car->last();
        file("IT02345678904_a0B1c.xml");
        file("IT02345678904_A0B1C.xml");
        w->apriCartella(arrivi());
        scegli("IT02345678904_A0B1C.xml");
        invia();
        QCOMPARE(desktop->indirizzi.size(), 1);
        QCOMPARE(diz->Testa_Car->field("prot").asInteger(), 2);
        scegli("IT02345678904_a0B1c.xml");
        invia();
        QCOMPARE(desktop->indirizzi.size(), 1);
        QCOMPARE(desktop->messaggi, QStringList{"Attenzione... File gia Caricato"});
        QCOMPARE(diz->Testa_Car->field("prot").asInteger(), 1);
        QCOMPARE(w->DBGrid1->currentIndex().row(), 0);
    }

    // Invoices that another program loads appear within one refresh interval; the line
    // grid shows the lines of the current invoice only.
    void caricateDaFuori() {
        Connection altra(QStringLiteral("pagina"));
        TestDb::punta(altra, db);
        altra.connect();
        QCOMPARE(CaricaAcquisto(altra, GFE_SOURCE_DIR "/tests/purchases/campioni",
                                "DE123456789_00012.xml")
                     .stato,
                 200);
        QCOMPARE(w->DBGrid1->model()->rowCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(w->DBGrid1->model()->rowCount(), 2, 6000);
        QCOMPARE(w->DBGrid1->cellText(0, 1), QString("Maschinenbau Süd GmbH"));
        QCOMPARE(w->DBGrid1->cellText(1, 5), QString("18,30"));
        diz->Testa_Car->first();
        QCOMPARE(w->DBGrid2->model()->rowCount(), 3);
        diz->Testa_Car->next();
        QCOMPARE(w->DBGrid2->model()->rowCount(), 1);
        QCOMPARE(w->DBGrid2->cellText(0, 1), QString("Trasporto"));

        // "Stampa" shows the current purchase invoice's copy in the preview.
        ChiudiAnteprima anteprima;
        QTest::mouseClick(w->BitBtn4, Qt::LeftButton);
        QCOMPARE(anteprima.pagine, 1);
        QCOMPARE(desktop->messaggi, QStringList());
    }

    // "Copia Fattura" shows the readable copy of the received file of the current
    // invoice in the preview; a file no longer in the folder is named in a message.
    void copiaFattura() {
        QFile::copy(GFE_SOURCE_DIR "/demo/ricevute/IT02345678904_b1C2d.xml",
                    QDir(arrivi()).filePath("IT02345678904_b1C2d.xml"));
        TestDb::esegui(db, {"INSERT INTO test_car (prot, rag_soc, nome_file) VALUES "
                            "(1, 'GROSSISTA NORD SPA', 'IT02345678904_b1C2d.xml'), "
                            "(2, 'SPARITO', 'IT09999999999_00001.xml')"});
        diz->Testa_Car->refresh();
        diz->Testa_Car->first();
        ChiudiAnteprima anteprima;
        QTest::mouseClick(w->BitBtn5, Qt::LeftButton);
        QCOMPARE(anteprima.pagine, 1);
        QCOMPARE(desktop->messaggi, QStringList());
        diz->Testa_Car->last();
        QTest::mouseClick(w->BitBtn5, Qt::LeftButton);
        QCOMPARE(desktop->messaggi.size(), 1);
        QVERIFY(desktop->messaggi[0].contains("IT09999999999_00001.xml"));
    }
};

QTEST_MAIN(TstElencoCarico)
#include "tst_elenco_carico.moc"
