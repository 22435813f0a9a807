#include "GfeWebInProva.h"

#include <QStandardPaths>
#include <thread>

// The "pec" channel against a local SMTP sink with TLS and a throw-away
// certificate: the attachment arrives intact, a refused login sends nothing.
class TstWebappPec : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_pec");
    const QString f2 = QStringLiteral("IT01234567897_00002.xml");
    CartellaDiLavoro lavoro;
    GfeWebInProva web;
    QString python;
    QProcess sink;
    int portaSink = 0;

    QString ricevuti() const { return lavoro.percorso("ricevuti"); }

    // The sink in the given TLS mode; its port in portaSink.
    bool avviaSink(const QString& modo, const QString& comportamento = {}) {
        QDir(ricevuti()).removeRecursively();
        QDir().mkpath(ricevuti());
        QStringList argomenti{GFE_SMTP_SINK,
                              modo,
                              lavoro.percorso("cert.pem"),
                              lavoro.percorso("key.pem"),
                              ricevuti(),
                              "fatture",
                              "segreta"};
        if (!comportamento.isEmpty()) argomenti << comportamento;
        sink.start(python, argomenti);
        QString uscita;
        while (sink.waitForReadyRead(20000)) {
            uscita += QString::fromUtf8(sink.readAllStandardOutput());
            if (uscita.contains('\n')) {
                portaSink = uscita.section(' ', 1, 1).trimmed().toInt();
                return uscita.startsWith("pronto") && portaSink > 0;
            }
        }
        qWarning() << sink.readAllStandardError();
        return false;
    }
    void fermaSink() {
        sink.closeWriteChannel();
        if (!sink.waitForFinished(10000)) sink.kill();
        sink.waitForFinished();
    }

    void scriviImpostazioni(const QString& modo, const QString& password,
                            QFileDevice::Permissions permessi, const QString& altro = {}) {
        lavoro.scrivi("gfe-web.ini",
                      QStringLiteral("canale=pec\n[pec]\nhost=127.0.0.1\nporta=%1\nsicurezza=%2\n"
                                     "utente=fatture\npassword=%3\nmittente=fatture@esempio.it\n"
                                     "destinatario=sdi01@pec.fatturapa.it\ncertificati=cert.pem\n")
                              .arg(portaSink)
                              .arg(modo, password)
                              .toUtf8() +
                          altro.toUtf8());
        QVERIFY(QFile::setPermissions(lavoro.percorso("gfe-web.ini"), permessi));
    }
    QString inviata() const {
        return TestDb::valore(db, "SELECT inviata FROM testata WHERE id_invio=2");
    }

private slots:
    void initTestCase() {
        for (const QString& p :
             {QStandardPaths::findExecutable("python3"), QStringLiteral("/usr/bin/python3")}) {
            if (!p.isEmpty() && QProcess::execute(p, {"-c", "import aiosmtpd"}) == 0) {
                python = p;
                break;
            }
        }
        if (python.isEmpty())
            QSKIP("no python3 with aiosmtpd (scripts/setup installs python3-aiosmtpd)");
        QCOMPARE(QProcess::execute("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes",
                                               "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                                               "subjectAltName=IP:127.0.0.1", "-keyout",
                                               lavoro.percorso("key.pem"), "-out",
                                               lavoro.percorso("cert.pem")}),
                 0);
    }
    void init() {
        ricreaMigrato(db, {"xml_quirn.sql", "demo_xml_quirn.sql"});
        lavoro.prepara(db);
        TestDb::esegui(db, {"UPDATE testata SET nome_file='" + f2 + "' WHERE id_invio=2"});
        // Bytes a careless encoder would damage, in a comment of a valid file: non-ASCII,
        // a CR LF, a lone dot line.
        QByteArray dati = fatturaValida();
        const qsizetype fine = dati.indexOf("?>") + 2;
        QVERIFY(fine > 2);
        dati.insert(fine, "\r\n<!-- perché\r\n.\n. -->");
        lavoro.scrivi("out/" + f2, dati);
    }
    void cleanup() {
        QVERIFY(web.ferma());
        fermaSink();
    }

    void attachmentArrivesIntact_data() {
        QTest::addColumn<QString>("modo");
        QTest::newRow("implicit TLS") << "implicito";
        QTest::newRow("STARTTLS") << "starttls";
    }
    void attachmentArrivesIntact() {
        QFETCH(QString, modo);
        QVERIFY(avviaSink(modo));
        scriviImpostazioni(modo, "segreta", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY2(web.avvia(lavoro.dir.path()), qPrintable(web.uscita));
        QString pagina;
        QCOMPARE(web.esegui("/Fatt_Ven/mail_sdi.php?nome_file=" + f2 + "&n_invio=2", &pagina), 200);
        QVERIFY2(pagina.contains("è stata spedita per PEC a sdi01@pec.fatturapa.it"),
                 qPrintable(pagina));
        QCOMPARE(lavoro.contenuto("ricevuti/" + f2), lavoro.contenuto("out/" + f2));
        QCOMPARE(lavoro.contenuto("ricevuti/busta.txt"),
                 QByteArray("fatture@esempio.it\nsdi01@pec.fatturapa.it\n"));
        QCOMPARE(inviata(), QString("1"));
    }

    void refusedLoginLeavesTheInvoiceUnsent() {
        QVERIFY(avviaSink("implicito"));
        scriviImpostazioni("implicito", "sbagliata",
                           QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QVERIFY2(web.avvia(lavoro.dir.path()), qPrintable(web.uscita));
        QString pagina;
        QCOMPARE(web.esegui("/Fatt_Ven/mail_sdi.php?nome_file=" + f2 + "&n_invio=2", &pagina), 502);
        QVERIFY2(pagina.contains("535 5.7.8 Authentication credentials invalid"),
                 qPrintable(pagina));
        QVERIFY(pagina.contains("La fattura resta da inviare."));
        QCOMPARE(inviata(), QString("0"));
        QCOMPARE(QDir(ricevuti()).entryList(QDir::Files), QStringList());
    }

    // A server that takes the message and never answers: the page answers within the
    // limit set, says the outcome is uncertain and what to check, and leaves the
    // invoice unsent; meanwhile a second send is told the hand-off is in progress, and
    // the next page warns of the uncertain one.
    void stallingServerGivesAnUncertainOutcome() {
        QVERIFY(avviaSink("implicito", "stallo"));
        scriviImpostazioni("implicito", "segreta", QFileDevice::ReadOwner | QFileDevice::WriteOwner,
                           "attesa=3\n");
        QVERIFY2(web.avvia(lavoro.dir.path()), qPrintable(web.uscita));
        const QString query = "/Fatt_Ven/mail_sdi.php?nome_file=" + f2 + "&n_invio=2";
        QElapsedTimer tempo;
        tempo.start();
        int stato = 0;
        QString pagina;
        std::thread primo([&] { stato = web.esegui(query, &pagina); });
        while (!QFile::exists(ricevuti() + "/arrivato") && tempo.elapsed() < 20000)
            QThread::msleep(20);
        QString seconda;
        const int statoSecondo = web.esegui(query, &seconda);
        primo.join();
        QVERIFY2(tempo.elapsed() < 15000, qPrintable(QString::number(tempo.elapsed())));
        QCOMPARE(statoSecondo, 409);
        QVERIFY2(seconda.contains("è già in corso"), qPrintable(seconda));
        QCOMPARE(stato, 504);
        QVERIFY2(pagina.contains("Esito incerto") &&
                     pagina.contains("controllare nella posta inviata della casella "
                                     "fatture@esempio.it"),
                 qPrintable(pagina));
        QCOMPARE(inviata(), QString("0"));
        QCOMPARE(web.leggi(query, &pagina), 200);
        QVERIFY2(pagina.contains("ha avuto esito incerto"), qPrintable(pagina));
    }

    void passwordInAFileOthersCanReadIsRefused() {
        portaSink = 465;
        scriviImpostazioni("implicito", "segreta",
                           QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ReadOther);
        QVERIFY(!web.avvia(lavoro.dir.path()));
        QVERIFY2(web.uscita.contains("leggibile da altri utenti"), qPrintable(web.uscita));
        QCOMPARE(web.processo.exitCode(), 1);
    }
};

QTEST_MAIN(TstWebappPec)
#include "tst_webapp_pec.moc"
