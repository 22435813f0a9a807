#include "batch/Batch.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "invoices/ImportaFatture.h"
#include "invoices/TAreaFatture.h"
#include "platform/Errore.h"
#include "tst_elenco_fatt_ambiente.h"
#include "widgets/MaskEdit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

// "Importa Fatture", the computation behind it and gfe-batch import, on the
// accounting database quirn19 of the test server (recreated by this test
// alone) and an invoice database of its own.
class TstImportaFatture : public QObject {
    Q_OBJECT
    AmbienteElencoFatt amb{QStringLiteral("gfe_t_imp")}; // ip.ini keeps 10 characters
    QTemporaryDir lavoro;
    const QString contabilita = QStringLiteral("quirn19");

    QString cartellaFile() const { return QDir(lavoro.path()).filePath("out") + "/"; }

    // One accounting document; `altro` adds columns and values.
    static QString documento(int prot, const QString& reg, int num, const QString& data,
                             const QString& cliente, const QString& prov, const QString& codice,
                             const QString& altreColonne = {}, const QString& altriValori = {}) {
        return QStringLiteral(
                   "INSERT INTO testata (protocollo, anno, reg_doc, num_doc, data, rag_soc, "
                   "indirizzo, cap, citta, partiva, cod_fis, prov, cod_destinatario, pec%1) VALUES "
                   "(%2, %3, '%4', %5, '%6', '%7', 'VIA ROMA 1', '37100', 'VERONA', '09876543217', "
                   "'09876543217', '%8', '%9', '%10'%11)")
            .arg(altreColonne.isEmpty() ? QString() : ", " + altreColonne)
            .arg(prot)
            .arg(data.left(4))
            .arg(reg)
            .arg(num)
            .arg(data, cliente, prov, codice)
            .arg(codice.isEmpty() ? "cliente@pec.it" : "") // PEC only without a code
            .arg(altriValori.isEmpty() ? QString() : ", " + altriValori);
    }

    static QString riga(int prot, const QString& descrizione, double quantita, double prezzo,
                        double aliquota, const QString& um = "PZ", int colli = 0,
                        double sconto = 0) {
        return QStringLiteral(
                   "INSERT INTO dettag (prot_testa, descrizione, cod_art, colli, "
                   "quantita, pr_lordo, sc_1, um, aliquota, categoria, origine, lotto) "
                   "VALUES (%1, '%2', 'ART', %3, %4, %5, %6, '%7', %8, 'CAT', 'IT', 'L1')")
            .arg(prot)
            .arg(descrizione)
            .arg(colli)
            .arg(quantita)
            .arg(prezzo)
            .arg(sconto)
            .arg(um)
            .arg(aliquota);
    }

    static QString iva(double imp1, double iva1, double ali1, double imp3 = 0, double iva3 = 0,
                       double ali3 = 0) {
        return QStringLiteral("%1, %2, %3, %4, %5, %6")
            .arg(imp1)
            .arg(iva1)
            .arg(ali1)
            .arg(imp3)
            .arg(iva3)
            .arg(ali3);
    }

    // The year used by the cases: every register, foreign and public customers,
    // a deferred invoice with two notes of 2023 and one of 2022, a document after
    // the import date, one of another year, and one already typed in.
    void annoDiProva() {
        const QString slot = "imponibile1, iva1, aliquota1, imponibile3, iva3, aliquota3";
        TestDb::ricrea(contabilita, {"quirn19.sql"});
        TestDb::esegui(
            contabilita,
            {
                documento(1000, "FV", 18, "2023-02-01", "GIA SCRITTA SRL", "VR", "ABC1234", slot,
                          iva(10, 2.2, 22)),
                riga(1000, "Digitata", 1, 10, 22),
                documento(1001, "FV", 15, "2023-03-10", "VERDI SRL", "VR", "ABC1234", slot,
                          iva(58, 12.76, 22)),
                riga(1001, "Bulloni", 2, 10, 22),
                riga(1001, "Viti in colli", 10, 5, 22, "CL", 4),
                riga(1001, "Dadi scontati", 2, 10, 22, "PZ", 0, 10),
                documento(1002, "FI", 15, "2023-03-11", "EXPORT LTD", "EX", "", slot,
                          iva(0, 0, 0, 100, 0, 0)),
                riga(1002, "Export", 1, 100, 0),
                documento(1003, "NC", 4, "2023-03-12", "VERDI SRL", "VR", "", slot,
                          iva(10, 2.2, 22)),
                riga(1003, "Reso", 1, 10, 22),
                documento(1004, "NI", 4, "2023-03-13", "INTRA GMBH", "IN", "", slot, iva(10, 0, 0)),
                riga(1004, "Reso intra", 1, 10, 0),
                documento(1005, "FV", 16, "2023-03-14", "COMUNE DI VERONA", "VR", "UFABCD", slot,
                          iva(100, 22, 22, 50, 5, 10)),
                riga(1005, "Servizio", 1, 100, 22),
                riga(1005, "Libri", 1, 50, 10),
                documento(1006, "FD", 7, "2023-03-31", "NERI SNC", "VR", "ABC1234", slot,
                          iva(50, 11, 22)),
                documento(1007, "BO", 31, "2023-03-01", "NERI SNC", "VR", "",
                          "prot_f_diff, dest_soc, dest_indirizzo",
                          "1006, 'CANTIERE NORD', 'VIA PO 1'"),
                riga(1007, "Sabbia", 1, 10, 22),
                riga(1007, "Ghiaia", 1, 10, 22),
                documento(1008, "BO", 35, "2023-03-02", "NERI SNC", "VR", "", "prot_f_diff",
                          "1006"),
                riga(1008, "Cemento", 1, 10, 22),
                riga(1008, "Calce", 1, 10, 22),
                riga(1008, "Mattoni", 1, 10, 22),
                documento(1009, "BO", 36, "2022-12-30", "NERI SNC", "VR", "", "prot_f_diff",
                          "1006"),
                riga(1009, "Di un altro anno", 1, 10, 22),
                documento(1010, "FV", 17, "2023-06-02", "ROSSI SPA", "VR", "ABC1234", slot,
                          iva(10, 2.2, 22)),
                riga(1010, "Dopo la data", 1, 10, 22),
                documento(1011, "FV", 19, "2022-06-02", "ROSSI SPA", "VR", "ABC1234", slot,
                          iva(10, 2.2, 22)),
                riga(1011, "Anno prima", 1, 10, 22),
            });
    }

    void preparaFatture() {
        amb.prepara({
            "INSERT INTO azienda (rag_soc, p_iva, cod_fis, reg_fisc, indirizzo, cap, comune, prov, "
            "nazione, uff_rea, num_rea, capit_soc, soc_uni, stato_liq, mail, telefono, path, iban) "
            "VALUES ('ESEMPIO SRL', '01234567897', '01234567897', 'RF01', 'VIA ROMA 1', '37100', "
            "'VERONA', 'VR', 'IT', 'VR', '123456', '10000,00', 'SU', 'LN', 'amm@esempio.it', "
            "'045123456', '" +
                cartellaFile() + "', 'IT60X0542811101000000123456')",
            // Typed in by the user: it stands for the FV document 18 with the caption A.
            "INSERT INTO testata (rag_soc, num_doc, tipo_doc, data_doc) "
            "VALUES ('GIA SCRITTA SRL', '18I', 'TD01', '01/02/2023')",
        });
    }

    QString valore(const QString& select) const { return amb.valore(select); }
    QString colonna(const QString& col, const QString& numero) const {
        return valore(QStringLiteral("SELECT %1 FROM testata WHERE num_doc='%2'").arg(col, numero));
    }
    QString colonnaRiga(const QString& col, const QString& numero, int prog) const {
        return valore(QStringLiteral("SELECT d.%1 FROM dettaglio d JOIN testata t USING (id_invio) "
                                     "WHERE t.num_doc='%2' AND d.prog=%3")
                          .arg(col, numero)
                          .arg(prog));
    }
    int conta(const QString& select) const { return valore(select).toInt(); }

    // Problems of every file of the invoices, as the run's message names them.
    QStringList problemiFile() const {
        QStringList out;
        const QDir dir(cartellaFile());
        for (const QString& nome : dir.entryList({"*.xml"}, QDir::Files, QDir::Name))
            for (const Problema& p : ValidatoreFatturaPA().valida(dir.filePath(nome)))
                out << nome + ": " + p.descrizione();
        return out;
    }

    int batch(const QStringList& args, QString& out, QString& err) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        Batch b(o, e);
        const int rc = b.esegui(QStringList{"gfe-batch"} + args, lavoro.path());
        o.flush();
        e.flush();
        return rc;
    }

    EsitoImportazione importa(const QString& titolo, const QString& data) {
        EsitoImportazione esito;
        ImportaFatture(*amb.diz, titolo, data, {}, esito);
        return esito;
    }

private slots:
    void initTestCase() {
        QVERIFY(lavoro.isValid());
        QFile ini(lavoro.filePath("ip.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(("127.0.0.1\n" + amb.db + "\nA\n").toUtf8());
    }

    void init() {
        QDir(cartellaFile()).removeRecursively();
        QDir().mkpath(cartellaFile());
        annoDiProva();
        preparaFatture();
        QVERIFY(amb.apri());
        amb.finestra->setWindowTitle("A");
    }
    void cleanup() { amb.chiudi(); }

    // The window's button over the whole year, then again, then with a later date.
    void buttonImportsTheYearOnceWithItsRules() {
        auto* w = amb.finestra.get();
        auto premi = [&](const QString& data) {
            w->M1->setText(data);
            amb.desktop.risposte = {true};
            QTest::mouseClick(w->Panel1->BitBtn18, Qt::LeftButton);
        };
        // Nothing dated up to M1: no change, no message.
        premi("01/01/23");
        QCOMPARE(amb.desktop.domande, QStringList{"Confermi importazione Fatture: ?"});
        QCOMPARE(amb.desktop.messaggi, QStringList());
        QCOMPARE(conta("SELECT COUNT(*) FROM testata"), 1);

        premi("01/06/23");
        QCOMPARE(conta("SELECT COUNT(*) FROM testata"), 7);
        QCOMPARE(conta("SELECT COUNT(*) FROM dettaglio"), 15);
        QCOMPARE(conta("SELECT COUNT(*) FROM testata WHERE num_doc='18I'"), 1);
        // FV and FI, NC and NI keep apart.
        for (const auto& [numero, tipo] : {std::pair{"15I", "TD01"},
                                           {"FI 15", "TD01"},
                                           {"4", "TD04"},
                                           {"NI 4", "TD04"},
                                           {"16I", "TD01"},
                                           {"7D", "TD24"}})
            QCOMPARE(colonna("tipo_doc", numero), QString(tipo));
        // Ordinary lines: packages, discount, totals recomputed.
        QCOMPARE(colonnaRiga("quantita", "15I", 2), QString("4,00"));
        QCOMPARE(colonnaRiga("prezzo_tot", "15I", 2), QString("20,000"));
        for (const auto& [col, v] : {std::pair{"prezzo_unit", "9,000"},
                                     {"sc_tipo", "SC"},
                                     {"sc_perc", "10,00"},
                                     {"sc_importo", "2"},
                                     {"prezzo_tot", "18,000"},
                                     {"aliquota", "22"},
                                     {"categoria", "CAT"},
                                     {"natura", "<null>"}})
            QCOMPARE(colonnaRiga(col, "15I", 3), QString(v));
        QCOMPARE(colonna("tot_doc", "15I"), QString("70,76"));
        QCOMPARE(colonna("mod_pag", "15I"), QString(""));
        QCOMPARE(colonna("esig_iva", "15I"), QString("I"));
        // Foreign customer overrides on the header and the lines.
        for (const auto& [col, v] : {std::pair{"nazione", "ES"},
                                     {"cod_dest", "XXXXXXX"},
                                     {"cod_fis", ""},
                                     {"pec", ""},
                                     {"prov", ""},
                                     {"esig_iva", ""},
                                     {"esig_iva4", ""},
                                     {"natura", "N3.1"},
                                     {"normativa", "Non Soggetta"}})
            QCOMPARE(colonna(col, "FI 15"), QString(v));
        QCOMPARE(colonnaRiga("natura", "FI 15", 1), QString("N3.1"));
        QCOMPARE(colonnaRiga("natura", "NI 4", 1), QString("N3.2"));
        // Six-character code: split payment on the slots with VAT only.
        for (const auto& [col, v] : {std::pair{"esig_iva", "S"},
                                     {"esig_iva2", "S"},
                                     {"esig_iva3", "I"},
                                     {"esig_iva4", "<null>"},
                                     {"mod_pag", "MP05"},
                                     {"aliquota2", "10"}})
            QCOMPARE(colonna(col, "16I"), QString(v));
        // Deferred invoice: a reference line before the lines of each note of 2023.
        QCOMPARE(conta("SELECT COUNT(*) FROM dettaglio d JOIN testata t USING (id_invio) WHERE "
                       "t.num_doc='7D'"),
                 7);
        QCOMPARE(colonnaRiga("descrizione", "7D", 1),
                 QString("Rif. Bolla BO n. 31 del 01/03/2023 CANTIERE NORD VIA PO 1"));
        QCOMPARE(colonnaRiga("descrizione", "7D", 3), QString("Ghiaia"));
        QVERIFY(
            colonnaRiga("descrizione", "7D", 4).startsWith("Rif. Bolla BO n. 35 del 02/03/2023"));
        QCOMPARE(colonnaRiga("aliquota", "7D", 4), QString("22"));
        QCOMPARE(colonnaRiga("descrizione", "7D", 7), QString("Mattoni"));
        // Every invoice has its file, the public office's in its own format, and
        // every file passes the checks: the run says nothing.
        QCOMPARE(conta("SELECT COUNT(*) FROM testata WHERE nome_file LIKE 'IT01234567897_0%'"), 6);
        QCOMPARE(problemiFile(), QStringList());
        QCOMPARE(amb.desktop.messaggi, QStringList());
        QFile pa(cartellaFile() + colonna("nome_file", "16I"));
        QVERIFY(pa.open(QIODevice::ReadOnly));
        QVERIFY(pa.readAll().contains("<FormatoTrasmissione>FPA12</FormatoTrasmissione>"));
        // The window stands on the last new invoice, with its lines.
        QCOMPARE(amb.diz->Testata->field("num_doc").asString(), QString("7D"));
        QCOMPARE(amb.diz->Detta->recordCount(), 7);
        QCOMPARE(amb.diz->Testata->recordCount(), 7);
        QVERIFY(amb.diz->Testata->autoRefreshActive());

        // A second run creates nothing and says nothing.
        amb.desktop.messaggi.clear();
        premi("01/06/23");
        QCOMPARE(amb.desktop.messaggi, QStringList());
        QCOMPARE(conta("SELECT COUNT(*) FROM testata"), 7);
        QCOMPARE(conta("SELECT COUNT(*) FROM dettaglio"), 15);

        // One day later the document of that day comes in.
        premi("02/06/23");
        QCOMPARE(conta("SELECT COUNT(*) FROM testata"), 8);
        QCOMPARE(amb.diz->Testata->field("num_doc").asString(), QString("17I"));
        QCOMPARE(amb.diz->Detta->recordCount(), 1);
        QCOMPARE(conta("SELECT COUNT(*) FROM testata WHERE num_doc='19I'"), 0);
    }

    // Other captions extend the numbers; a number too long for num_doc is
    // refused, named, and never imported twice.
    void captionsAndNumbersThatDoNotFit() {
        EsitoImportazione esito = importa("B", "31/12/23");
        QCOMPARE(esito.importate, 8);
        QCOMPARE(esito.presenti, 0);
        for (const char* numero : {"15 /BI", "FI 15 /B", "4 /B", "NI 4 /B", "7 /BD", "18 /BI"})
            QCOMPARE(conta("SELECT COUNT(*) FROM testata WHERE num_doc='" + QString(numero) + "'"),
                     1);

        TestDb::esegui(amb.db, {"DELETE FROM testata WHERE num_doc LIKE '%/B%'"});
        for (int giro = 0; giro < 2; ++giro) {
            esito = importa("FILIALE", "31/12/23");
            QCOMPARE(esito.importate, giro == 0 ? 1 : 0);
            QCOMPARE(esito.presenti, giro);
            QCOMPARE(esito.rifiutati.size(), 7);
            QVERIFY(esito.rifiutati.contains(
                QString::fromUtf8("FV 15 del 10/03/2023: il numero \"15 /FILIALEI\" supera i 10 "
                                  "caratteri del numero fattura")));
            QVERIFY(esito.messaggio().startsWith("Documenti non importati:\n- "));
        }
        QCOMPARE(conta("SELECT COUNT(*) FROM testata WHERE num_doc LIKE '%/FILIAL%'"), 1);
        QCOMPARE(colonna("tipo_doc", "4 /FILIALE"), QString("TD04"));
    }

    // A failure in the middle of an invoice leaves nothing of it, in the database,
    // in the window's tables or on disk; the run goes on, names it, and the next
    // run tries it again and imports it whole.
    void failedInvoiceIsNotLeftHalfWritten() {
        TestDb::esegui(amb.db, {"CREATE TRIGGER guasto BEFORE INSERT ON dettaglio FOR EACH ROW "
                                "IF NEW.descrizione = 'Sabbia' THEN SIGNAL SQLSTATE '45000' "
                                "SET MESSAGE_TEXT = 'guasto simulato'; END IF"});
        EsitoImportazione esito = importa("A", "31/12/23");
        QCOMPARE(esito.importate, 6); // 17I, after the failed one, too
        QCOMPARE(esito.errori.size(), 1);
        QVERIFY2(esito.errori[0].startsWith("FD 7 del 31/03/2023: ") &&
                     esito.errori[0].contains("guasto simulato"),
                 qPrintable(esito.errori[0]));
        QVERIFY(esito.messaggio().contains(esito.errori[0]));
        QCOMPARE(conta("SELECT COUNT(*) FROM testata WHERE num_doc='7D'"), 0);
        QCOMPARE(conta("SELECT COUNT(*) FROM dettaglio WHERE id_invio NOT IN (SELECT id_invio FROM "
                       "testata)"),
                 0);
        QCOMPARE(amb.diz->Testata->recordCount(), 7);
        QCOMPARE(amb.diz->Testata->field("num_doc").asString(), QString("17I"));
        QVERIFY(!amb.diz->Testata->locate("num_doc", "7D"));
        QCOMPARE(QDir(cartellaFile()).entryList({"*.xml"}).size(), 6);

        // gfe-batch: the failure again, named on standard error, exit 1; without
        // it the document comes in.
        QString out, err;
        QCOMPARE(batch({"import", "--date", "31/12/23"}, out, err), 1);
        QVERIFY2(err.contains("- FD 7 del 31/03/2023: ") && err.contains("guasto simulato"),
                 qPrintable(err));
        QCOMPARE(out.trimmed().split('\n').last(), QString("importate 0, gia presenti 7"));
        TestDb::esegui(amb.db, {"DROP TRIGGER guasto"});
        QCOMPARE(batch({"import", "--date", "31/12/23"}, out, err), 0);
        QCOMPARE(out.trimmed().split('\n').last(), QString("importate 1, gia presenti 7"));
        QCOMPARE(err, QString()); // the new file is clean
        QCOMPARE(conta("SELECT COUNT(*) FROM dettaglio d JOIN testata t USING (id_invio) WHERE "
                       "t.num_doc='7D'"),
                 7);
        QCOMPARE(batch({"import", "--date", "xx"}, out, err), 1);
    }

    // Documents without lines, or deferred without notes, between good ones are
    // refused by rule before anything is written (no key used up) and named;
    // the run imports the rest and exits 0.
    void documentsWithoutLinesAreRefusedAndSkipped() {
        TestDb::esegui(contabilita,
                       {documento(1012, "FV", 20, "2023-04-01", "VUOTA SRL", "VR", "ABC1234"),
                        documento(1013, "FD", 8, "2023-04-02", "SENZA BOLLE SRL", "VR", "ABC1234"),
                        documento(1014, "FD", 9, "2023-04-03", "BOLLA VUOTA SRL", "VR", "ABC1234"),
                        documento(1015, "BO", 40, "2023-04-01", "BOLLA VUOTA SRL", "VR", "",
                                  "prot_f_diff", "1014"),
                        documento(1016, "FV", 21, "2023-04-04", "BUONA SRL", "VR", "ABC1234"),
                        riga(1016, "Buona", 1, 10, 22)});
        for (int giro = 0; giro < 2; ++giro) {
            QString out, err;
            QCOMPARE(batch({"import", "--date", "31/12/23"}, out, err), 0);
            for (const char* atteso :
                 {"- FV 20 del 01/04/2023: documento senza righe",
                  "- FD 8 del 02/04/2023: fattura differita senza bolle di consegna del 2023",
                  "- FD 9 del 03/04/2023: le bolle di consegna della fattura differita non hanno "
                  "righe"})
                QVERIFY2(err.contains(QString::fromUtf8(atteso)), qPrintable(err));
            QCOMPARE(out.trimmed().split('\n').last(),
                     giro == 0 ? QString("importate 8, gia presenti 1")
                               : QString("importate 0, gia presenti 9"));
        }
        QCOMPARE(conta("SELECT COUNT(*) FROM testata WHERE num_doc='21I'"), 1);
        QCOMPARE(conta("SELECT COUNT(*) FROM testata WHERE num_doc IN ('20I', '8D', '9D')"), 0);
        // The keys follow one another: no refused document used one up.
        QCOMPARE(conta("SELECT MAX(id_invio) - MIN(id_invio) + 1 - COUNT(*) FROM testata"), 0);
    }

    // Two real gfe-batch import runs started together, several times over:
    // every document becomes one invoice with one file.
    void concurrentRunsImportEachDocumentOnce() {
        const auto avvia = [this](QProcess& p) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("QT_QPA_PLATFORM");
            env.insert("GFE_DB_PORT", QString::number(TestDb::port()));
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(lavoro.path());
            p.start(GFE_BATCH, {"import", "--date", "31/12/23"});
        };
        for (int giro = 0; giro < 3; ++giro) {
            TestDb::esegui(amb.db,
                           {"DELETE FROM dettaglio", "DELETE FROM testata WHERE id_invio > 1"});
            QDir(cartellaFile()).removeRecursively();
            QDir().mkpath(cartellaFile());
            QProcess a, b;
            avvia(a);
            avvia(b);
            for (QProcess* p : {&a, &b}) {
                QVERIFY(p->waitForFinished(120000));
                QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            }
            const QString righe =
                QString::fromUtf8(a.readAllStandardOutput() + b.readAllStandardOutput());
            QVERIFY2(righe.contains("importate 7, gia presenti 1") &&
                         righe.contains("importate 0, gia presenti 8"),
                     qPrintable(righe));
            QCOMPARE(conta("SELECT COUNT(*) FROM testata"), 8);
            QCOMPARE(conta("SELECT COUNT(DISTINCT num_doc, tipo_doc) FROM testata"), 8);
            QCOMPARE(QDir(cartellaFile()).entryList({"*.xml"}).size(), 7);
        }
    }
};

QTEST_MAIN(TstImportaFatture)
#include "tst_importa_fatture.moc"
