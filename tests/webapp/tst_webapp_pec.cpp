#include "GfeWebInProva.h"

#include <QStandardPaths>

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
    bool avviaSink(const QString& modo) {
        QDir(ricevuti()).removeRecursively();
        QDir().mkpath(ricevuti());
        sink.start(python, {GFE_SMTP_SINK, modo, lavoro.percorso("cert.pem"),
                            lavoro.percorso("key.pem"), ricevuti(), "fatture", "segreta"});
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
                            QFileDevice::Permissions permessi) {
        lavoro.scrivi("gfe-web.ini",
                      QStringLiteral("canale=pec\n[pec]\nhost=127.0.0.1\nporta=%1\nsicurezza=%2\n"
                                     "utente=fatture\npassword=%3\nmittente=fatture@esempio.it\n"
                                     "destinatario=sdi01@pec.fatturapa.it\ncertificati=cert.pem\n")
                          .arg(portaSink)
                          .arg(modo, password)
                          .toUtf8());
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
        TestDb::ricrea(db, {"xml_quirn.sql", "demo_xml_quirn.sql"});
        lavoro.prepara(db);
        TestDb::esegui(db, {"UPDATE testata SET nome_file='" + f2 + "' WHERE id_invio=2"});
        // Bytes a careless encoder would damage: non-ASCII, a CR LF, a lone dot line.
        lavoro.scrivi("out/" + f2, "<?xml version=\"1.0\"?>\r\n<a>perché\n.\n\x01\xff</a>");
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
        QCOMPARE(web.leggi("/Fatt_Ven/mail_sdi.php?nome_file=" + f2 + "&n_invio=2", &pagina), 200);
        QVERIFY2(pagina.contains(
                     "è stato spedito per PEC da fatture@esempio.it a sdi01@pec.fatturapa.it"),
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
        QCOMPARE(web.leggi("/Fatt_Ven/mail_sdi.php?nome_file=" + f2 + "&n_invio=2", &pagina), 502);
        QVERIFY2(pagina.contains("535 5.7.8 Authentication credentials invalid"),
                 qPrintable(pagina));
        QVERIFY(pagina.contains("La fattura resta da inviare."));
        QCOMPARE(inviata(), QString("0"));
        QCOMPARE(QDir(ricevuti()).entryList(QDir::Files), QStringList());
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
