#include "FakeDesktop.h"
#include "GfeWebInProva.h"
#include "data/TDiz.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "invoices/TAreaFatture.h"
#include "invoices/TElenco_Fatt.h"
#include "widgets/DBGrid.h"

#include <QPushButton>
#include <QUrl>
#include <atomic>
#include <thread>

namespace {

// The desktop's "open" action as a browser does it: the address is fetched, and
// the status and page kept.
class DesktopBrowser : public FakeDesktop {
public:
    void apriIndirizzo(const QString& indirizzo) override {
        FakeDesktop::apriIndirizzo(indirizzo);
        const QUrl url(indirizzo);
        httplib::Client client(url.host().toStdString(), url.port());
        client.set_url_encode(false);
        const auto res = client.Get(
            url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment)
                .toStdString());
        stati << (res ? res->status : -1);
        pagine << (res ? QString::fromStdString(res->body) : QString());
    }
    QList<int> stati;
    QStringList pagine;
};

} // namespace

// gfe-web with the "cartella" channel on the demo invoices (1 sent, 2 to 4 not):
// invoice 2's file is in the company's folder, invoice 3's is missing.
class TstWebapp : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_web"); // ip.ini keeps 10 characters
    CartellaDiLavoro lavoro;
    GfeWebInProva web;
    const QString f2 = QStringLiteral("IT01234567897_00002.xml");

    QString inviata() const {
        return TestDb::valore(db, "SELECT GROUP_CONCAT(inviata ORDER BY id_invio) FROM testata");
    }
    QStringList inUscita() const {
        return QDir(lavoro.percorso("inviate")).entryList(QDir::Files | QDir::Hidden);
    }
    static QString invio(const QString& nome, const QString& n) {
        return "/Fatt_Ven/mail_sdi.php?nome_file=" + nome + "&n_invio=" + n;
    }

private slots:
    void initTestCase() {
        TestDb::ricrea(db, {"xml_quirn.sql", "demo_xml_quirn.sql"});
        lavoro.prepara(db);
        QVERIFY2(web.avvia(lavoro.dir.path()), qPrintable(web.uscita));
    }
    void init() {
        for (const char* cartella : {"out", "inviate"})
            QDir(lavoro.percorso(cartella)).removeRecursively();
        TestDb::ricrea(db, {"xml_quirn.sql", "demo_xml_quirn.sql"});
        lavoro.prepara(db);
        TestDb::esegui(db,
                       {"UPDATE testata SET nome_file='" + f2 + "' WHERE id_invio=2",
                        "UPDATE testata SET nome_file='IT01234567897_00003.xml' WHERE id_invio=3"});
        lavoro.scrivi("out/" + f2, "<p:FatturaElettronica/>");
    }
    void cleanupTestCase() { QVERIFY(web.ferma()); }

    // The whole road: the window writes invoice 3's file, its sending page is fetched from
    // gfe-web, the invoice turns red after the refresh and is refused a second time
    // by the window and by gfe-web.
    void windowSendsThroughGfeWeb() {
        const QString f3 = "IT01234567897_00003.xml";
        qputenv("GFE_WEB_URL", web.server().toUtf8());
        DesktopBrowser desktop;
        TDiz diz;
        TestDb::punta(*diz.xml_conn, db);
        for (Table* t : diz.tabelleFatture())
            t->open();
        TElenco_Fatt finestra(diz);
        finestra.setWindowTitle("A");
        finestra.show();
        QVERIFY(QTest::qWaitForWindowActive(&finestra));
        QVERIFY(diz.Testata->locate("id_invio", 3));
        QTest::mouseClick(finestra.Panel1->BitBtn4, Qt::LeftButton);
        const QByteArray file = lavoro.contenuto("out/" + f3);
        QCOMPARE(ValidatoreFatturaPA().valida(lavoro.percorso("out/" + f3)).size(), 0);
        desktop.messaggi.clear();
        desktop.risposte = {true};
        QTest::mouseClick(finestra.Panel1->BitBtn5, Qt::LeftButton);
        QCOMPARE(desktop.stati, QList<int>{200});
        QVERIFY2(desktop.pagine[0].contains("La fattura n. 3 è stata inviata allo SDI."),
                 qPrintable(desktop.pagine[0]));
        QVERIFY(desktop.pagine[0].contains("Il file supera i controlli dello SDI."));
        QCOMPARE(lavoro.contenuto("inviate/" + f3), file);
        QCOMPARE(inviata(), QString("1,0,1,0"));

        diz.Testata->refresh();
        DBGrid* g = finestra.DBGrid1;
        const QRect r = g->visualRect(g->model()->index(2, 0)).translated(g->viewport()->pos());
        QCOMPARE(g->grab().toImage().pixelColor(r.right() - 3, r.center().y()), QColor(255, 0, 0));

        QTest::mouseClick(finestra.Panel1->BitBtn5, Qt::LeftButton);
        QCOMPARE(desktop.messaggi, QStringList{"Fattura gia inviata"});
        QCOMPARE(desktop.stati.size(), 1);
        QString pagina;
        QCOMPARE(web.leggi(invio(f3, "3"), &pagina), 409);
        QVERIFY(pagina.contains("La fattura n. 3 è già stata inviata."));
        qunsetenv("GFE_WEB_URL");
    }

    void refusalsChangeNothing_data() {
        QTest::addColumn<QString>("richiesta");
        QTest::addColumn<int>("stato");
        QTest::addColumn<QString>("esito");
        const QString pa = "/Fatt_Ven/mail_sdi_pa.php?nome_file=";
        QTest::newRow("file of another invoice")
            << invio(f2, "3") << 404 << "non è quello della fattura n. 3";
        QTest::newRow("unknown invoice")
            << invio(f2, "99") << 404 << "La fattura n. 99 non esiste.";
        QTest::newRow("missing file") << invio("IT01234567897_00003.xml", "3") << 404
                                      << "non si trova nella cartella dell'azienda";
        QTest::newRow("already sent")
            << pa + "IT01234567897_00001.xml&n_invio=1" << 409 << "già stata inviata";
        QTest::newRow("parent folder")
            << invio("../out/" + f2, "2") << 400 << "contiene una cartella";
        QTest::newRow("absolute path")
            << invio(lavoro.percorso("out/" + f2), "2") << 400 << "contiene una cartella";
        QTest::newRow("encoded slash")
            << invio("..%2Fout%2F" + f2, "2") << 400 << "contiene una cartella";
        QTest::newRow("missing key")
            << "/Fatt_Ven/mail_sdi.php?nome_file=" + f2 << 400 << "manca il parametro n_invio";
        QTest::newRow("key not a number") << invio(f2, "2x") << 400 << "non è un numero di fattura";
        QTest::newRow("no file name") << invio("", "4") << 400 << "non ha un nome di file";
        QTest::newRow("unknown page") << "/Fatt_Ven/altro.php" << 404 << "non esiste";
    }
    void refusalsChangeNothing() {
        QFETCH(QString, richiesta);
        QFETCH(int, stato);
        QFETCH(QString, esito);
        QString pagina;
        QCOMPARE(web.leggi(richiesta, &pagina), stato);
        QVERIFY2(pagina.contains(esito), qPrintable(pagina));
        QCOMPARE(inviata(), QString("1,0,0,0"));
        QCOMPARE(inUscita(), QStringList());
    }

    // A different file of the same name in the outbox is a failed hand-off: it
    // stays, and the invoice stays unsent.
    void outboxNeverReplacesADifferentFile() {
        lavoro.scrivi("out/" + f2, "<nuovo/>");
        QDir(lavoro.dir.path()).mkpath("inviate");
        lavoro.scrivi("inviate/" + f2, "<vecchio/>");
        QString pagina;
        QCOMPARE(web.leggi(invio(f2, "2"), &pagina), 502);
        QVERIFY2(pagina.contains("c'è già un file diverso"), qPrintable(pagina));
        QCOMPARE(lavoro.contenuto("inviate/" + f2), QByteArray("<vecchio/>"));
        QCOMPARE(inUscita(), QStringList{f2});
        QCOMPARE(inviata(), QString("1,0,0,0"));
    }

    // The reading page loads a received file (here the demo's signed one) once: the
    // purchase invoice is stored under the name as given, a second load and a name
    // with a folder part are refused and store nothing more.
    void readingPageLoadsAReceivedFileOnce() {
        const QString nome = QStringLiteral("IT03456789012_00007.xml.p7m");
        QDir(lavoro.dir.path()).mkpath("ricevute");
        QFile sorgente(QStringLiteral(GFE_SOURCE_DIR "/demo/ricevute/") + nome);
        QVERIFY(sorgente.open(QIODevice::ReadOnly));
        lavoro.scrivi("ricevute/" + nome, sorgente.readAll());
        const QString pagina = "/Fatt_Acq/read_xml.php?nome_file=";
        QString testo;
        QCOMPARE(web.leggi(pagina + nome, &testo), 200);
        const QString righe = "SELECT COUNT(*) FROM test_car WHERE nome_file='" + nome + "'";
        QCOMPARE(TestDb::valore(db, righe), QString("1"));
        QCOMPARE(web.leggi(pagina + nome), 409);
        QCOMPARE(web.leggi(pagina + "..%2Fricevute%2F" + nome), 400);
        QCOMPARE(web.leggi(pagina), 400);
        QCOMPARE(TestDb::valore(db, righe), QString("1"));
    }

    void twentyConcurrentRequestsSendOnce() {
        std::atomic<int> fatti{0}, gia{0}, altri{0};
        std::vector<std::thread> richieste;
        for (int i = 0; i < 20; ++i)
            richieste.emplace_back([&] {
                const int s = web.leggi(invio(f2, "2"));
                (s == 200 ? fatti : s == 409 ? gia : altri)++;
            });
        for (auto& t : richieste)
            t.join();
        QCOMPARE(fatti.load(), 1);
        QCOMPARE(gia.load(), 19);
        QCOMPARE(inUscita(), QStringList{f2});
        QCOMPARE(inviata(), QString("1,1,0,0"));
    }

    // What a person reads in a real browser: the outcome, where the file went and
    // what the checks found.
    void browserShowsTheOutcome() {
        const QString chromium = QStandardPaths::findExecutable("chromium");
        if (chromium.isEmpty()) QSKIP("chromium is not installed (scripts/setup installs it)");
        QTemporaryDir profilo;
        QProcess browser;
        browser.start(chromium,
                      {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                       "--user-data-dir=" + profilo.path(), "--dump-dom",
                       web.server() + "/Fatt_Ven/mail_sdi_pa.php?nome_file=" + f2 + "&n_invio=2"});
        QVERIFY(browser.waitForFinished(60000));
        const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
        QVERIFY2(dom.contains("<h1>Invio fattura P.A. allo SDI</h1>"), qPrintable(dom));
        QVERIFY(dom.contains("La fattura n. 2 è stata inviata allo SDI."));
        QVERIFY(
            dom.contains("è stato copiato nella cartella di uscita " + lavoro.percorso("inviate")));
        QVERIFY(dom.contains("Attenzione: 00200"));
        QVERIFY(dom.contains("non è nel formato FPA12"));
        QCOMPARE(inviata(), QString("1,1,0,0"));
    }
};

QTEST_MAIN(TstWebapp)
#include "tst_webapp.moc"
