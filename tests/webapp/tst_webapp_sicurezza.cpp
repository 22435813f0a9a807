#include "GfeWebInProva.h"

#include <QStandardPaths>
#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// Only the application's own pages, addressed by its loopback address, change
// anything: other sites, other names for the host, replayed or missing tokens and
// malformed parameters are refused, and nothing is sent.
class TstWebappSicurezza : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_wsic");
    const QString f2 = QStringLiteral("IT01234567897_00002.xml");
    const QString pagina = QStringLiteral("/Fatt_Ven/mail_sdi.php");
    CartellaDiLavoro lavoro;
    GfeWebInProva web;

    QString query() const { return pagina + "?nome_file=" + f2 + "&n_invio=2"; }
    QString inviata() const {
        return TestDb::valore(db, "SELECT inviata FROM testata WHERE id_invio=2");
    }
    QStringList inUscita() const { return QDir(lavoro.percorso("inviate")).entryList(QDir::Files); }
    // The token of a fresh GET of the sending page.
    std::string gettoneNuovo() const {
        QString testo;
        if (web.leggi(query(), &testo) != 200) return {};
        return GfeWebInProva::gettone(testo).toStdString();
    }
    void nienteInviato() const {
        QCOMPARE(inviata(), QString("0"));
        QCOMPARE(inUscita(), QStringList());
    }

private slots:
    void initTestCase() {
        ricreaMigrato(db, {"xml_quirn.sql", "demo_xml_quirn.sql"});
        lavoro.prepara(db);
        TestDb::esegui(db, {"UPDATE testata SET nome_file='" + f2 + "' WHERE id_invio=2"});
        lavoro.scrivi("out/" + f2, fatturaValida());
        QVERIFY2(web.avvia(lavoro.dir.path()), qPrintable(web.uscita));
    }
    void cleanupTestCase() { QVERIFY(web.ferma()); }

    void foreignRequestsAreRefused_data() {
        QTest::addColumn<QString>("metodo");
        QTest::addColumn<QString>("host"); // empty: the right one
        QTest::addColumn<QString>("origine");
        QTest::addColumn<QString>("sito");
        QTest::addColumn<QString>("gettone"); // "nuovo": a valid one
        QTest::addColumn<int>("stato");
        QTest::newRow("foreign Host, GET") << "GET"
                                           << "evil.example"
                                           << ""
                                           << ""
                                           << "" << 421;
        QTest::newRow("foreign Host with the token") << "POST"
                                                     << "evil.example:8780"
                                                     << "http://evil.example"
                                                     << ""
                                                     << "nuovo" << 421;
        QTest::newRow("localhost is another name") << "POST"
                                                   << "localhost:"
                                                   << ""
                                                   << ""
                                                   << "nuovo" << 421;
        QTest::newRow("another site's Origin") << "POST"
                                               << ""
                                               << "http://evil.example"
                                               << ""
                                               << "nuovo" << 403;
        QTest::newRow("another loopback port") << "POST"
                                               << ""
                                               << "http://127.0.0.1:1"
                                               << ""
                                               << "nuovo" << 403;
        QTest::newRow("cross-site fetch") << "POST"
                                          << ""
                                          << ""
                                          << "cross-site"
                                          << "nuovo" << 403;
        QTest::newRow("same-site is not same-origin") << "POST"
                                                      << ""
                                                      << ""
                                                      << "same-site"
                                                      << "nuovo" << 403;
        QTest::newRow("no token") << "POST"
                                  << ""
                                  << ""
                                  << ""
                                  << "" << 403;
        QTest::newRow("guessed token") << "POST"
                                       << ""
                                       << ""
                                       << ""
                                       << "0123abcd" << 403;
    }
    void foreignRequestsAreRefused() {
        QFETCH(QString, metodo);
        QFETCH(QString, host);
        QFETCH(QString, origine);
        QFETCH(QString, sito);
        QFETCH(QString, gettone);
        QFETCH(int, stato);
        httplib::Headers h;
        if (host == "localhost:") host += QString::number(web.porta);
        if (!host.isEmpty()) h.emplace("Host", host.toStdString());
        if (!origine.isEmpty()) h.emplace("Origin", origine.toStdString());
        if (!sito.isEmpty()) h.emplace("Sec-Fetch-Site", sito.toStdString());
        const std::string g = gettone == "nuovo" ? gettoneNuovo() : gettone.toStdString();
        const auto res =
            metodo == "GET"
                ? web.chiedi("GET", query(), h)
                : web.chiedi("POST", pagina, h,
                             "gettone=" + g + "&nome_file=" + f2.toStdString() + "&n_invio=2");
        QVERIFY(res);
        QCOMPARE(res->status, stato);
        QVERIFY(QString::fromStdString(res->body).contains("Non è stato cambiato nulla."));
        nienteInviato();
    }

    // A token is good once, for its own page only; the form's own POST sends.
    void aTokenIsGoodOnceForItsPage() {
        lavoro.scrivi("ricevuto.xml", fatturaValida());
        QDir(lavoro.dir.path()).mkpath("ricevute");
        lavoro.scrivi("ricevute/ricevuto.xml", fatturaValida());
        QString testo;
        QCOMPARE(web.leggi("/Fatt_Acq/read_xml.php?nome_file=ricevuto.xml", &testo), 200);
        const std::string altrui = GfeWebInProva::gettone(testo).toStdString();
        QVERIFY(!altrui.empty());
        QCOMPARE(web.chiedi("POST", pagina, {}, "gettone=" + altrui)->status, 403);
        QCOMPARE(web.chiedi("POST", "/Fatt_Acq/read_xml.php", {}, "gettone=" + altrui)->status,
                 403);
        nienteInviato();
        const std::string g = gettoneNuovo();
        const httplib::Headers proprio{{"Origin", web.server().toStdString()},
                                       {"Sec-Fetch-Site", "same-origin"}};
        QCOMPARE(web.chiedi("POST", pagina, proprio, "gettone=" + g)->status, 200);
        QCOMPARE(inviata(), QString("1"));
        QCOMPARE(web.chiedi("POST", pagina, proprio, "gettone=" + g)->status, 403);
        TestDb::esegui(db, {"UPDATE testata SET inviata=0 WHERE id_invio=2"});
        QDir(lavoro.percorso("inviate")).removeRecursively();
    }

    void controlCharactersAreMalformed_data() {
        QTest::addColumn<QString>("valore");
        QTest::newRow("NUL") << f2 + "%00.pdf";
        QTest::newRow("line feed") << f2 + "%0A";
        QTest::newRow("escape") << "%1B" + f2;
    }
    void controlCharactersAreMalformed() {
        QFETCH(QString, valore);
        QString testo;
        QCOMPARE(web.leggi(pagina + "?nome_file=" + valore + "&n_invio=2", &testo), 400);
        QVERIFY2(testo.contains("carattere di controllo"), qPrintable(testo));
        QCOMPARE(web.chiedi("POST", pagina, {},
                            "gettone=" + gettoneNuovo() + "&x=" + valore.toStdString())
                     ->status,
                 400);
        nienteInviato();
    }

    // A page of another local program, opened in a real browser, tries every way a
    // page can: images, a form posted by script, a fetch. Nothing is sent.
    void aPageOnAnotherPortCannotSend() {
        const QString chromium = QStandardPaths::findExecutable("chromium");
        if (chromium.isEmpty()) QSKIP("chromium is not installed (scripts/setup installs it)");
        const std::string bersaglio = web.server().toStdString();
        const std::string q = query().toStdString();
        const std::string html =
            "<!DOCTYPE html><html><body><img src=\"" + bersaglio + q + "\"><img src=\"" +
            bersaglio + q + "&x=1\"><form id=\"f\" method=\"post\" action=\"" + bersaglio +
            pagina.toStdString() + "\"><input name=\"nome_file\" value=\"" + f2.toStdString() +
            "\"><input name=\"n_invio\" value=\"2\"><input name=\"gettone\" value=\"x\"></form>"
            "<script>fetch('" +
            bersaglio + pagina.toStdString() +
            "',{method:'POST',mode:'no-cors',body:new URLSearchParams({nome_file:'" +
            f2.toStdString() +
            "',n_invio:'2'})}).finally(()=>document.getElementById('f').submit());</script>"
            "</body></html>";
        httplib::Server altro;
        altro.Get("/", [&](const httplib::Request&, httplib::Response& res) {
            res.set_content(html, "text/html");
        });
        const int porta = altro.bind_to_any_port("127.0.0.1");
        std::thread servizio([&] { altro.listen_after_bind(); });
        QTemporaryDir profilo;
        QProcess browser;
        browser.start(chromium, {"--headless", "--no-sandbox", "--disable-gpu",
                                 "--disable-background-networking", "--disable-component-update",
                                 "--disable-sync", "--no-first-run",
                                 "--user-data-dir=" + profilo.path(), "--virtual-time-budget=5000",
                                 "--dump-dom", QStringLiteral("http://127.0.0.1:%1/").arg(porta)});
        // The browser's posts reached gfe-web and were refused as another origin's.
        const bool rifiutato = web.stampa(
            QStringLiteral("n_invio=2 nome_file=%1 -> 403 Richiesta rifiutata: la richiesta viene "
                           "da un'altra origine (http://127.0.0.1:%2)")
                .arg(f2)
                .arg(porta),
            90000);
        if (!browser.waitForFinished(30000)) browser.kill();
        browser.waitForFinished();
        altro.stop();
        servizio.join();
        QVERIFY2(rifiutato, qPrintable(web.uscita.right(2000)));
        nienteInviato();
    }

    // Forty clients that send half a request and stop, and one that trickles a byte at
    // a time: the others are served meanwhile, and every slow one is cut off.
    void slowClientsDoNotStopTheServer() {
        const auto collega = [&] {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(quint16(web.porta));
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return -1;
            ::send(fd, "GET / HTTP/1.1\r\nHo", 18, MSG_NOSIGNAL);
            return fd;
        };
        std::vector<int> lenti;
        for (int i = 0; i < 41; ++i)
            lenti.push_back(collega());
        QVERIFY(std::find(lenti.begin(), lenti.end(), -1) == lenti.end());
        QElapsedTimer tempo;
        tempo.start();
        QCOMPARE(web.leggi(query()), 200);
        QVERIFY2(tempo.elapsed() < 3000, qPrintable(QString::number(tempo.elapsed())));
        // Closed by the server: reading gives the end (or a reset), never a wait.
        const auto chiusa = [](int fd) {
            char c[4096];
            for (;;) {
                const ssize_t n = ::recv(fd, c, sizeof c, MSG_DONTWAIT);
                if (n > 0) continue; // an error page before the end
                return n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            }
        };
        const int goccia = lenti.back();
        int aperte = int(lenti.size());
        while (aperte > 0 && tempo.elapsed() < 20000) {
            QThread::msleep(300);
            ::send(goccia, "s", 1, MSG_NOSIGNAL);
            aperte =
                int(std::count_if(lenti.begin(), lenti.end(), [&](int fd) { return !chiusa(fd); }));
        }
        QCOMPARE(aperte, 0);
        for (const int fd : lenti)
            ::close(fd);
        QCOMPARE(web.leggi(query()), 200);
    }

    // A second gfe-web on a port in use stops and names the port.
    void aPortInUseStopsTheSecond() {
        GfeWebInProva secondo;
        QVERIFY(!secondo.avvia(lavoro.dir.path(), {"--port", QString::number(web.porta)}));
        secondo.processo.waitForFinished(10000);
        QCOMPARE(secondo.processo.state(), QProcess::NotRunning);
        QCOMPARE(secondo.processo.exitCode(), 1);
        QVERIFY2(secondo.uscita.contains(QStringLiteral("porta %1").arg(web.porta)),
                 qPrintable(secondo.uscita));
        QCOMPARE(web.leggi(query()), 200);
    }
};

QTEST_MAIN(TstWebappSicurezza)
#include "tst_webapp_sicurezza.moc"
