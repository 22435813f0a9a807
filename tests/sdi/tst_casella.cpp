#include "DovecotProva.h"
#include "GfeWebInProva.h"
#include "PostaProva.h"
#include "TestDb.h"
#include "batch/Batch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

// The certified mailbox read over IMAP with TLS from a real Dovecot server of the test's
// own: the unread messages are processed once and marked read.
class TstCasella : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_pec");
    QTemporaryDir lavoro;
    PostaProva posta;
    std::unique_ptr<DovecotProva> server;
    QString out, err;

    static QString nome(int id) {
        return QStringLiteral("IT01234567897_0%1.xml").arg(id, 4, 10, QLatin1Char('0'));
    }

    int esegui(const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        const int rc = Batch(o, e).esegui(QStringList{"gfe-batch"} + args, lavoro.path());
        o.flush();
        e.flush();
        return rc;
    }

    void impostazioni(const QString& password, const QString& altro = {}) {
        QFile f(lavoro.filePath("gfe-web.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QString("ricevute=ricevute\n[pec]\nimap_host=127.0.0.1\nimap_porta=%1\nutente=%2\n"
                        "password=%3\ncertificati=ca.pem\n%4")
                    .arg(server->porta())
                    .arg(DovecotProva::utente(), password, altro)
                    .toUtf8());
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    QByteArray risposta(const QString& tipo, int id, const QString& idSdi) {
        const QByteArray interno = PostaProva::messaggio(
            tipo,
            {{PostaProva::nomeNotifica(nome(id), tipo),
              PostaProva::notifica(tipo, nome(id), idSdi, false,
                                   {{"00305", "IdFiscaleIVA non valido", "Verificare"},
                                    {"00311", "CodiceDestinatario non valido", ""}},
                                   "EC01")}},
            "sdi-" + idSdi + "@pec");
        return posta.busta("POSTA CERTIFICATA: " + tipo, interno, "posta-certificata",
                           "opec-" + idSdi + "@pec.prova");
    }

private slots:
    void initTestCase() {
        QVERIFY(lavoro.isValid());
        posta.scriviAutorita(lavoro.filePath("ca.pem"));
        posta.scriviServer(lavoro.filePath("server.pem"), lavoro.filePath("server.key"));
        server = std::make_unique<DovecotProva>(lavoro.filePath("server.pem"),
                                                lavoro.filePath("server.key"));
        QVERIFY2(server->avviato(), qPrintable(server->errore()));
        TestDb::ricrea(db, {"xml_quirn.sql"});
        for (int id = 1; id <= 3; ++id)
            TestDb::esegui(db, {QString("INSERT INTO testata (id_invio, nome_file, inviata) VALUES "
                                        "(%1, '%2', 1)")
                                    .arg(id)
                                    .arg(nome(id))});
        QFile ini(lavoro.filePath("ip.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(("127.0.0.1\n" + db + "\nA\n").toUtf8());
    }

    void cleanupTestCase() { server.reset(); }

    void unreadMessagesAreReadOnce() {
        impostazioni(DovecotProva::password());
        QFile fattura(QStringLiteral(GFE_SOURCE_DIR "/demo/ricevute/IT02345678904_b1C2d.xml"));
        QVERIFY(fattura.open(QIODevice::ReadOnly));
        const QByteArray rc = risposta("RC", 1, "801");
        server->consegna(rc);
        server->consegna(rc); // the same message twice
        server->consegna(risposta("NS", 2, "802"));
        server->consegna(posta.busta(
            "POSTA CERTIFICATA: Invio File 803",
            PostaProva::messaggio("Invio File 803",
                                  {{"IT02345678904_PEC01.xml", fattura.readAll()}}, "sdi-803@pec"),
            "posta-certificata", "opec-803@pec.prova"));
        server->consegna(posta.busta("ACCETTAZIONE: Fattura elettronica " + nome(3), {},
                                     "accettazione", "acc-3@pec.prova", "accettazione"));
        server->consegna("non un messaggio\n");
        QVERIFY2(esegui({"posta"}) == 0, qPrintable(err + out));
        QCOMPARE(out.trimmed().split('\n').last(),
                 QString("notifiche 2, fatture ricevute 1, ricevute PEC 1, gia registrate 1, "
                         "non abbinate 0, illeggibili 1"));
        QVERIFY2(out.contains("INBOX UID 3 [" + PostaProva::nomeNotifica(nome(2), "NS") + "]"),
                 qPrintable(out));
        QCOMPARE(TestDb::valore(db, "SELECT inviata FROM testata WHERE id_invio = 2"),
                 QString("0"));
        QCOMPARE(TestDb::valore(db, "SELECT firma FROM sdi_notifiche WHERE tipo = 'RC'"),
                 QString("valida"));
        QVERIFY(QFile::exists(lavoro.filePath("ricevute/IT02345678904_PEC01.xml")));

        // Read: nothing more until a new message arrives.
        QVERIFY2(esegui({"posta"}) == 0, qPrintable(err));
        QCOMPARE(out.trimmed(), QString("notifiche 0, fatture ricevute 0, ricevute PEC 0, gia "
                                        "registrate 0, non abbinate 0, illeggibili 0"));
        server->consegna(risposta("MC", 3, "804"));
        QVERIFY2(esegui({"posta"}) == 0, qPrintable(err));
        QVERIFY(out.endsWith("notifiche 1, fatture ricevute 0, ricevute PEC 0, gia registrate 0, "
                             "non abbinate 0, illeggibili 0\n"));
        QCOMPARE(esegui({"stato", "--id", "3"}), 0);
        QVERIFY2(out.startsWith("stato: non consegnata\nPEC accettazione"), qPrintable(out));
    }

    // A refused log-in fails the run with the server's words; nothing is marked read.
    void refusedLogInFails() {
        server->consegna(risposta("RC", 3, "805"));
        impostazioni("sbagliata");
        QCOMPARE(esegui({"posta"}), 1);
        QVERIFY2(err.contains("127.0.0.1"), qPrintable(err));
        impostazioni(DovecotProva::password());
        QCOMPARE(esegui({"posta"}), 0);
        QVERIFY(out.startsWith("INBOX UID"));
        QVERIFY(out.contains("notifiche 1,"));
    }

    // gfe-web reads the mailbox as it starts and then every [pec] intervallo minutes; its
    // page shows an invoice's state and history.
    void gfeWebReadsTheMailboxAndShowsTheState() {
        impostazioni(DovecotProva::password(), "intervallo=1\n");
        QByteArray ne = risposta("NE", 1, "806");
        server->consegna(ne);
        GfeWebInProva web;
        QVERIFY2(web.avvia(lavoro.path()), qPrintable(web.uscita));
        QElapsedTimer t;
        t.start();
        while (!web.uscita.contains("gfe-web: posta: notifiche") && t.elapsed() < 30000) {
            web.processo.waitForReadyRead(200);
            web.uscita += QString::fromUtf8(web.processo.readAll());
        }
        QVERIFY2(web.uscita.contains("gfe-web: posta: notifiche 1,"), qPrintable(web.uscita));
        QString pagina;
        QCOMPARE(web.leggi("/Fatt_Ven/stato.php?n_invio=2", &pagina), 200);
        QVERIFY2(pagina.contains("stato: scartata") && pagina.contains("00311 CodiceDestinatario "
                                                                       "non valido"),
                 qPrintable(pagina));
        QCOMPARE(web.leggi("/Fatt_Ven/stato.php?n_invio=1", &pagina), 200);
        QVERIFY(pagina.contains("stato: accettata"));
        QCOMPARE(web.leggi("/Fatt_Ven/stato.php?n_invio=99"), 404);
        QCOMPARE(web.leggi("/Fatt_Ven/stato.php?n_invio=x"), 400);
        QCOMPARE(web.leggi("/Posta/leggi.php", &pagina), 200);
        QVERIFY(web.ferma());
    }
};

QTEST_GUILESS_MAIN(TstCasella)
#include "tst_casella.moc"
