#include "TestDb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// gfe-batch run as separate processes, as scheduled runs start it: writers
// racing for one file name, data that must not become a file name, files that
// are no invoice.
class TstBatchProcessi : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_bpr"); // ip.ini keeps 10 characters
    QTemporaryDir lavoro;

    QString uscita() const { return QDir(lavoro.path()).filePath("out") + u'/'; }

    QProcess* avvia(const QStringList& args) {
        auto* p = new QProcess(this);
        p->setWorkingDirectory(lavoro.path());
        p->start(QStringLiteral(GFE_BATCH), args);
        return p;
    }

    // Exit code, or -1 when the run did not end within the time given.
    static int attendi(QProcess* p, QString* err = nullptr, QString* out = nullptr,
                       int ms = 30000) {
        const bool finito = p->waitForFinished(ms);
        if (!finito) {
            p->kill();
            p->waitForFinished();
        }
        if (err) *err = QString::fromUtf8(p->readAllStandardError());
        if (out) *out = QString::fromUtf8(p->readAllStandardOutput());
        const int rc = finito && p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
        p->deleteLater();
        return rc;
    }

    int esegui(const QStringList& args, QString* err = nullptr) {
        return attendi(avvia(args), err);
    }

    void fattura(int id) {
        TestDb::esegui(
            db,
            {QStringLiteral(
                 "INSERT INTO testata (id_invio, rag_soc, indirizzo, comune, cap, prov, nazione, "
                 "p_iva, cod_fis, cod_dest, data_doc, num_doc, tot_doc, tipo_doc, tipo_pag, "
                 "mod_pag, n_rate, esig_iva, aliquota, imponibile, imposta, spese, spese2, "
                 "spese3, arrot, arrot2, arrot3) VALUES (%1, 'CLIENTE %1', 'VIA VERDI 2', "
                 "'MILANO', '20100', 'MI', 'IT', '09876543217', '09876543217', 'ABC1234', "
                 "'15/03/2023', 'N%1', '122,00', 'TD01', 'TP02', 'MP05', 0, 'I', '22', "
                 "'100,00', '22,00', '0,00', '0,00', '0,00', '0,00', '0,00', '0,00')")
                 .arg(id),
             QStringLiteral("INSERT INTO dettaglio (id_invio, prog, descrizione, quantita, um, "
                            "prezzo_unit, prezzo_tot, aliquota) VALUES (%1, 1, 'Bulloni', "
                            "'1,00', 'PZ', '100,000', '100,00', '22')")
                 .arg(id)});
    }

    QString nomeFile(int id) const {
        return TestDb::valore(
            db, QStringLiteral("SELECT nome_file FROM testata WHERE id_invio = %1").arg(id));
    }

private slots:
    void initTestCase() {
        QVERIFY(lavoro.isValid());
        QFile ini(QDir(lavoro.path()).filePath("ip.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(("127.0.0.1\n" + db + "\nFATTURE\n").toUtf8());
    }

    void init() {
        QDir(uscita()).removeRecursively();
        QVERIFY(QDir().mkpath(uscita()));
        TestDb::ricrea(db, {"xml_quirn.sql"});
        TestDb::esegui(
            db, {"INSERT INTO azienda (rag_soc, p_iva, cod_fis, indirizzo, cap, comune, prov, "
                 "nazione, uff_rea, num_rea, capit_soc, soc_uni, stato_liq, path, iban) VALUES "
                 "('ESEMPIO SRL', '01234567897', '01234567897', 'VIA ROMA 1', '37100', 'VERONA', "
                 "'VR', 'IT', 'VR', '123456', '10000,00', 'SU', 'LN', '" +
                 uscita() + "', 'IT60X0542811101000000123456')"});
        fattura(42);
        fattura(10041);
    }

    // Invoices 42 and 10041 share the progressive A0042. Written at the same
    // moment, at most one of them gets the name, and the file holds that one.
    void scrittoriConcorrentiNonCondividonoIlNome() {
        const QString percorso = uscita() + "IT01234567897_A0042.xml";
        for (int giro = 0; giro < 12; ++giro) {
            TestDb::esegui(db, {"UPDATE testata SET nome_file = NULL"});
            QFile::remove(percorso);
            QProcess* a = avvia({"xml", "--id", "42"});
            QProcess* b = avvia({"xml", "--id", "10041"});
            const int rcA = attendi(a), rcB = attendi(b);
            QVERIFY(rcA >= 0 && rcB >= 0);
            QVERIFY2(rcA != 0 || rcB != 0, "due fatture con lo stesso nome di file");
            const int titolare = rcA == 0 ? 42 : 10041;
            QCOMPARE(nomeFile(titolare), QString("IT01234567897_A0042.xml"));
            QCOMPARE(nomeFile(titolare == 42 ? 10041 : 42), QString("<null>"));
            QFile f(percorso);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QVERIFY(f.readAll().contains("<Numero>N" + QByteArray::number(titolare) + "</Numero>"));
        }
    }

    // Refused before anything is stored or written, with a message naming the value.
    void datiCheNonFannoUnNome_data() {
        QTest::addColumn<QString>("modifica");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("partita IVA con una cartella")
            << "UPDATE azienda SET p_iva = '/../../ev'" << 42 << "/../../ev";
        QTest::newRow("partita IVA vuota")
            << "UPDATE azienda SET p_iva = ''" << 42 << "partita IVA";
        QTest::newRow("nome più lungo di nome_file")
            << "UPDATE testata SET id_invio = 10009999 WHERE id_invio = 42" << 10009999
            << "IT01234567897_A10000000.xml";
        QTest::newRow("rate oltre il limite")
            << "UPDATE testata SET n_rate = 100000 WHERE id_invio = 42" << 42 << "100000";
    }
    void datiCheNonFannoUnNome() {
        QFETCH(QString, modifica);
        QFETCH(int, id);
        QFETCH(QString, messaggio);
        TestDb::esegui(db, {modifica});
        QString err;
        QCOMPARE(esegui({"xml", "--id", QString::number(id)}, &err), 1);
        QVERIFY2(err.contains(messaggio), qPrintable(err));
        QCOMPARE(nomeFile(id), QString("<null>"));
        QCOMPARE(QDir(uscita()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{});
        QCOMPARE(QDir(lavoro.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"ip.ini", "out"}));
    }

    // Only a regular file of a sane size is read: no hang, no file read whole.
    void validateSoloFileOrdinari() {
        const QString fifo = lavoro.filePath("IT01234567897_00001.xml");
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QString grande = lavoro.filePath("IT01234567897_00002.xml");
        QFile g(grande);
        QVERIFY(g.open(QIODevice::WriteOnly));
        QVERIFY(g.resize(qint64(3) << 30)); // sparse: no disk space used
        g.close();
        QString err, out;
        const QStringList file{fifo, "/dev/zero", grande, lavoro.path()};
        const int rc = attendi(avvia(QStringList{"validate"} + file), &err, &out, 20000);
        QFile::remove(fifo);
        QFile::remove(grande);
        QCOMPARE(rc, 1);
        QCOMPARE(err, QString());
        const QStringList righe = out.trimmed().split(u'\n');
        QCOMPARE(righe.size(), file.size());
        for (int i = 0; i < file.size(); ++i)
            QVERIFY2(righe[i].startsWith(file[i] + ": "), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TstBatchProcessi)
#include "tst_batch_processi.moc"
