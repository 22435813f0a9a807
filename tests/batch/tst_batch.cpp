#include "FirmaProva.h"
#include "LetturaPdf.h"
#include "TestDb.h"
#include "batch/Batch.h"
#include "fatturapa/ValidatoreFatturaPA.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

// gfe-batch run in-process from a working folder with its own ip.ini.
class TstBatch : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_bat"); // ip.ini keeps 10 characters
    QTemporaryDir lavoro;
    QString out, err;

    int esegui(const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        Batch batch(o, e);
        const int rc = batch.esegui(QStringList{"gfe-batch"} + args, lavoro.path());
        o.flush();
        e.flush();
        return rc;
    }

    void scriviIni(const QString& testo) {
        QFile f(lavoro.filePath("ip.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(testo.toUtf8());
    }

private slots:
    void initTestCase() { QVERIFY(lavoro.isValid()); }

    void init() {
        TestDb::ricrea(db, {"xml_quirn.sql"});
        const QString cartella = QDir(lavoro.path()).filePath("out") + "/";
        QDir().mkpath(cartella);
        TestDb::esegui(
            db,
            {
                "INSERT INTO azienda (rag_soc, p_iva, cod_fis, reg_fisc, indirizzo, cap, comune, "
                "prov, "
                "nazione, uff_rea, num_rea, capit_soc, soc_uni, stato_liq, mail, telefono, path, "
                "iban) "
                "VALUES ('ESEMPIO SRL', '01234567897', '01234567897', 'RF01', 'VIA ROMA 1', "
                "'37100', "
                "'VERONA', 'VR', 'IT', 'VR', '123456', '10000,00', 'SU', 'LN', 'amm@esempio.it', "
                "'045123456', '" +
                    cartella + "', 'IT60X0542811101000000123456')",
                "INSERT INTO testata (id_invio, rag_soc, indirizzo, comune, cap, prov, nazione, "
                "p_iva, "
                "cod_fis, cod_dest, data_doc, num_doc, tipo_doc, tipo_pag, mod_pag, n_rate, "
                "esig_iva, "
                "esig_iva2, spese, spese2, spese3, arrot, arrot2, arrot3) VALUES (7, 'CLIENTE "
                "SPA', 'VIA VERDI 2', "
                "'MILANO', '20100', 'MI', 'IT', '09876543217', '09876543217', 'ABC1234', "
                "'15/03/2023', '12', 'TD01', 'TP02', 'MP05', 0, 'I', 'I', '0,00', '0,00', '0,00', "
                "'0,00', '0,00', '0,00')",
                "INSERT INTO dettaglio (id_invio, prog, descrizione, quantita, um, prezzo_unit, "
                "prezzo_tot, aliquota) VALUES (7, 1, 'Bulloni', '1,00', 'PZ', '100,000', '100,00', "
                "'22'), "
                "(7, 2, 'Dadi', '1,00', 'PZ', '50,000', '50,00', '10')",
            });
        scriviIni("127.0.0.1\n" + db + "\nA\n");
    }

    void totalsRecomputesTheInvoice() {
        QCOMPARE(esegui({"totals", "--id", "7"}), 0);
        QCOMPARE(err, QString());
        QCOMPARE(TestDb::valore(db, "select tot_doc from testata where id_invio=7"),
                 QString("177,00"));
        QCOMPARE(TestDb::valore(db, "select imposta2 from testata where id_invio=7"),
                 QString("5,00"));
    }

    void xmlWritesAValidFileAndPrintsItsPath() {
        QCOMPARE(esegui({"totals", "--id", "7"}), 0);
        const int rc = esegui({"xml", "--id", "7"});
        QVERIFY2(rc == 0, qPrintable(err));
        const QString percorso = out.trimmed();
        QVERIFY2(percorso.endsWith("IT01234567897_00007.xml"), qPrintable(percorso));
        QVERIFY(QFileInfo(percorso).isAbsolute() && QFile::exists(percorso));
        QCOMPARE(err, QString()); // a clean file draws no warning
        QCOMPARE(ValidatoreFatturaPA().valida(percorso).size(), 0);
        QCOMPARE(TestDb::valore(db, "select nome_file from testata where id_invio=7"),
                 QString("IT01234567897_00007.xml"));
        QCOMPARE(esegui({"validate", percorso}), 0);
        QCOMPARE(out, QString());
        // Signed as the exchange system delivers it, DER or base64: the XML inside is checked
        // under the signed name.
        QFile xml(percorso);
        QVERIFY(xml.open(QIODevice::ReadOnly));
        const QByteArray der = firmaProva(xml.readAll());
        for (const QByteArray& busta : {der, der.toBase64()}) {
            QFile firmato(percorso + ".p7m");
            QVERIFY(firmato.open(QIODevice::WriteOnly));
            firmato.write(busta);
            firmato.close();
            QCOMPARE(esegui({"validate", firmato.fileName()}), 0);
            QCOMPARE(out, QString());
        }
    }

    void relativeFolderGivesFullPath() {
        QDir().mkpath(lavoro.filePath("rel"));
        TestDb::esegui(db, {"UPDATE azienda SET path='./rel/'"});
        QCOMPARE(esegui({"totals", "--id", "7"}), 0);
        const QString prima = QDir::currentPath();
        QDir::setCurrent(lavoro.path());
        const int rc = esegui({"xml", "--id", "7"});
        QDir::setCurrent(prima);
        QVERIFY2(rc == 0, qPrintable(err));
        QCOMPARE(out.trimmed(), QDir(lavoro.path()).filePath("rel/IT01234567897_00007.xml"));
    }

    void failures_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<QString>("sql"); // run first, when given
        QTest::newRow("unknown invoice")
            << QStringList{"xml", "--id", "99"} << "Fattura 99 non trovata"
            << "";
        QTest::newRow("unknown invoice totals")
            << QStringList{"totals", "--id", "99"} << "Fattura 99 non trovata"
            << "";
        QTest::newRow("no id") << QStringList{"totals"} << "--id"
                               << "";
        QTest::newRow("unknown command") << QStringList{"stampa"} << "Comando sconosciuto"
                                         << "";
        QTest::newRow("nothing to validate") << QStringList{"validate"} << "almeno un file"
                                             << "";
        QTest::newRow("option given twice") << QStringList{"totals", "--id", "7", "--id", "8"}
                                            << "Opzione --id indicata più di una volta"
                                            << "";
        // The whole message names the line and the column; the header keeps its total.
        QTest::newRow("unreadable line amount")
            << QStringList{"totals", "--id", "7"}
            << "Riga 2, quantita: 'abc' non è un valore numerico valido\n"
            << "UPDATE dettaglio SET quantita = 'abc' WHERE prog = 2";
        // A sent invoice is final: neither its totals nor its file are written again.
        const QString inviata = "UPDATE testata SET inviata = 1 WHERE id_invio = 7";
        for (const char* comando : {"totals", "xml"})
            QTest::newRow(qPrintable(QString("sent invoice ") + comando))
                << QStringList{comando, "--id", "7"}
                << "Operazione non possibile... Fattura Inviata\n"
                << inviata;
        QTest::newRow("sent invoice xml --pa") << QStringList{"xml", "--id", "7", "--pa"}
                                               << "Operazione non possibile... Fattura Inviata\n"
                                               << inviata;
        QTest::newRow("print unknown invoice")
            << QStringList{"print", "--id", "99", "--pdf", "x.pdf"} << "Fattura 99 non trovata"
            << "";
        QTest::newRow("print unknown purchase")
            << QStringList{"print-purchase", "--prot", "99", "--pdf", "x.pdf"}
            << "Fattura di acquisto 99 non trovata"
            << "";
        QTest::newRow("print without file") << QStringList{"print", "--id", "7"} << "--pdf"
                                            << "";
    }
    void failures() {
        QFETCH(QStringList, args);
        QFETCH(QString, messaggio);
        QFETCH(QString, sql);
        TestDb::esegui(db, {"UPDATE testata SET tot_doc = '9,99'"});
        if (!sql.isEmpty()) TestDb::esegui(db, {sql});
        QCOMPARE(esegui(args), 1);
        if (messaggio.endsWith('\n'))
            QCOMPARE(err, messaggio);
        else
            QVERIFY2(err.contains(messaggio), qPrintable(err));
        QCOMPARE(out, QString());
        QCOMPARE(TestDb::valore(db, "select tot_doc from testata where id_invio=7"),
                 QString("9,99"));
    }

    void helpAndVersion() {
        QCOMPARE(esegui({"--help"}), 0);
        for (const char* comando : {"xml --id N [--pa]", "totals --id N", "validate FILE..."})
            QVERIFY2(out.contains(comando), qPrintable(out));
        QCOMPARE(esegui({"--version"}), 0);
        QVERIFY2(QRegularExpression("^gfe-batch \\d+\\.\\d+").match(out).hasMatch(),
                 qPrintable(out));
        QCOMPARE(err, QString());
    }

    // The printed copies through the real program, without a display.
    void printCommandsWritePdfs() {
        TestDb::esegui(
            db, {"INSERT INTO test_car (prot, rag_soc, data_doc, num_doc, tipo_doc, imponibile, "
                 "imponibile2, imposta, imposta2, spese, sc_importo) VALUES (3, 'GROSSISTA SPA', "
                 "'05/03/2023', '88', 'TD01', '1.000,00', '200,00', '220,00', '20,00', '5,00', "
                 "'10,00')",
                 "INSERT INTO dett_car (prot_car, prog, descrizione) VALUES (3, 1, 'Profilato')"});
        const auto gfeBatch = [this](const QStringList& args, QString& uscita, QString& errori) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("QT_QPA_PLATFORM");
            env.remove("DISPLAY");
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(lavoro.path());
            p.start(GFE_BATCH, args);
            p.waitForFinished(60000);
            uscita = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
            errori = QString::fromUtf8(p.readAllStandardError());
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        QString o, e;
        QCOMPARE(gfeBatch({"print", "--id", "7", "--pdf", "f7.pdf"}, o, e), 0);
        QCOMPARE(o, QDir(lavoro.path()).filePath("f7.pdf"));
        const LetturaPdf vendita(o);
        QVERIFY2(vendita.pagine() == 1, qPrintable(vendita.errore()));
        QVERIFY(vendita.testo(1).contains("CLIENTE SPA") && vendita.testo(1).contains("Bulloni"));
        QCOMPARE(gfeBatch({"print-purchase", "--prot", "3", "--pdf", "a3.pdf"}, o, e), 0);
        const QString acquisto = LetturaPdf(o).testo(1);
        for (const char* t : {"GROSSISTA", "Profilato", "1200,00", "240,00", "5,00", "1205,00"})
            QVERIFY2(acquisto.contains(t), t);
        TestDb::esegui(db, {"UPDATE testata SET data_doc='' WHERE id_invio=7"});
        QCOMPARE(gfeBatch({"print", "--id", "7", "--pdf", "vuota.pdf"}, o, e), 1);
        QVERIFY2(e.contains("Mancanza Dati"), qPrintable(e));
        QCOMPARE(o, QString());
        QVERIFY(!QFile::exists(lavoro.filePath("vuota.pdf")));
        // A file that cannot be written: the reason goes with the refusal.
        TestDb::esegui(db, {"UPDATE testata SET data_doc='15/03/2023' WHERE id_invio=7"});
        QCOMPARE(gfeBatch({"print", "--id", "7", "--pdf", "manca/f7.pdf"}, o, e), 1);
        const QString rifiuto = "Impossibile scrivere " + lavoro.filePath("manca/f7.pdf") + ": ";
        QVERIFY2(e.contains(rifiuto) && e.section(rifiuto, 1).trimmed().size() > 3, qPrintable(e));
    }

    void withoutIpIniOrServer() {
        QFile::remove(lavoro.filePath("ip.ini"));
        QCOMPARE(esegui({"totals", "--id", "7"}), 1);
        QVERIFY2(err.contains("ip.ini"), qPrintable(err));
        scriviIni("127.0.0.1\nnon_esiste\nA\n");
        QCOMPARE(esegui({"totals", "--id", "7"}), 1);
        QVERIFY2(err.contains("non_esiste"), qPrintable(err)); // the server's message
    }

    void validateReportsEveryProblem() {
        const QString rotto = lavoro.filePath("IT01234567897_00001.xml");
        QFile f(rotto);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<p:FatturaElettronica>");
        f.close();
        const QString manca = lavoro.filePath("manca.xml");
        QCOMPARE(esegui({"validate", rotto, manca}), 1);
        const QStringList righe = out.trimmed().split('\n');
        QVERIFY2(righe.size() >= 2, qPrintable(out));
        QVERIFY(righe.first().startsWith(rotto + ": 00200"));
        QVERIFY(righe.last().startsWith(manca + ": "));
    }
};

QTEST_GUILESS_MAIN(TstBatch)
#include "tst_batch.moc"
