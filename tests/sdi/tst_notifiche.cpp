#include "PostaProva.h"
#include "TestDb.h"
#include "batch/Batch.h"
#include "data/Migrazioni.h"
#include "db/Connection.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "sdi/LettoreNotifiche.h"
#include "sdi/MessaggioSdi.h"
#include "sdi/PostaPec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <thread>

// The exchange system's answers read from saved messages and files through gfe-batch: every
// type in both namespaces, the provider's receipts, supplier invoices, broken messages, the
// same message twice and two readers at once, the state of each invoice, a rejection.
class TstNotifiche : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_sdi");
    const QString piva = QStringLiteral("01234567897");
    QTemporaryDir lavoro;
    PostaProva posta;
    QString out, err;

    QString nome(int id) const {
        return QStringLiteral("IT%1_0%2.xml").arg(piva).arg(id, 4, 10, QLatin1Char('0'));
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

    void scrivi(const QString& percorso, const QByteArray& dati) {
        QDir().mkpath(QFileInfo(percorso).path());
        QFile f(percorso);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(dati);
    }

    QString ultima() const { return out.trimmed().split(u'\n').last(); }

    // A PEC envelope from the exchange system carrying one answer.
    QByteArray risposta(const QString& tipo, int id, const QString& idSdi, bool vecchio = false,
                        const QList<PostaProva::Errore>& errori = {}, const QString& esito = {}) {
        const QString file = PostaProva::nomeNotifica(nome(id), tipo);
        const QByteArray interno = PostaProva::messaggio(
            QStringLiteral("%1 %2").arg(tipo, idSdi),
            {{file, PostaProva::notifica(tipo, nome(id), idSdi, vecchio, errori, esito)}},
            QStringLiteral("sdi-%1-%2@pec.fatturapa.it").arg(tipo, idSdi));
        return posta.busta(QStringLiteral("POSTA CERTIFICATA: %1 %2").arg(tipo, idSdi), interno,
                           QStringLiteral("posta-certificata"),
                           QStringLiteral("opec-%1-%2@pec.prova").arg(tipo, idSdi));
    }

    QByteArray fornitore() {
        QFile f(QStringLiteral(GFE_SOURCE_DIR "/demo/ricevute/IT02345678904_b1C2d.xml"));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return f.readAll();
    }

private slots:
    void initTestCase() {
        QVERIFY(lavoro.isValid());
        posta.scriviAutorita(lavoro.filePath("ca.pem"));
        scrivi(lavoro.filePath("gfe-web.ini"), "ricevute=ricevute\n[pec]\ncertificati=ca.pem\n");
    }

    void init() {
        TestDb::ricrea(db, {"xml_quirn.sql"});
        const QString cartella = QDir(lavoro.path()).filePath("out") + "/";
        QDir().mkpath(cartella);
        QDir(lavoro.filePath("posta")).removeRecursively();
        QDir(lavoro.filePath("ricevute")).removeRecursively();
        TestDb::esegui(
            db,
            {"INSERT INTO azienda (rag_soc, p_iva, cod_fis, reg_fisc, indirizzo, cap, comune, "
             "prov, "
             "nazione, uff_rea, num_rea, capit_soc, soc_uni, stato_liq, mail, telefono, path, "
             "iban) "
             "VALUES ('ESEMPIO SRL', '01234567897', '01234567897', 'RF01', 'VIA ROMA 1', '37100', "
             "'VERONA', 'VR', 'IT', 'VR', '123456', '10000,00', 'SU', 'LN', 'amm@esempio.it', "
             "'045123456', '" +
             cartella + "', 'IT60X0542811101000000123456')"});
        QFile ini(lavoro.filePath("ip.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(("127.0.0.1\n" + db + "\nA\n").toUtf8());
    }

    // The exchange system's files by themselves: every type in both namespaces, a
    // rejection's errors with the newer form's suggestions, what is not one of them.
    void filesOfBothNamespaces() {
        for (const bool vecchio : {false, true}) {
            for (const QString tipo : {"RC", "NS", "MC", "NE", "DT", "AT", "MT"}) {
                const FileSdi f = leggiFileSdi(
                    PostaProva::notifica(tipo, nome(1), "111", vecchio,
                                         {{"00305", "IdFiscaleIVA non valido", "Correggere"},
                                          {"00306", "CodiceFiscale non valido", ""}},
                                         "EC02"),
                    "x.xml");
                QVERIFY2(f.genere != FileSdi::Genere::Illeggibile, qPrintable(f.errore));
                QCOMPARE(f.tipo, tipo);
                QCOMPARE(f.nomeFile, nome(1));
                QCOMPARE(f.identificativoSdi, QString("111"));
                if (tipo == u"NS") {
                    QCOMPARE(f.errori.size(), 2);
                    QCOMPARE(f.errori[1].codice, QString("00306"));
                    QCOMPARE(f.errori[0].suggerimento, vecchio ? QString() : QString("Correggere"));
                }
                if (tipo == u"NE") QCOMPARE(f.esito, QString("EC02"));
                if (tipo == u"RC")
                    QCOMPARE(f.dataConsegna, QDateTime(QDate(2026, 12, 10), QTime(10, 7)));
            }
        }
        QCOMPARE(leggiFileSdi("<<<", "x.xml").genere, FileSdi::Genere::Illeggibile);
        // A root of one namespace is not taken in the other.
        QByteArray scambiato = PostaProva::notifica("NS", nome(1), "1", false);
        scambiato.replace("ivaservizi.agenziaentrate.gov.it/docs/xsd/fattura",
                          "www.fatturapa.gov.it/sdi");
        QVERIFY(leggiFileSdi(scambiato, "x.xml").errore.contains("RicevutaScarto"));
        QCOMPARE(
            leggiFileSdi(posta.p7m(PostaProva::notifica("RC", nome(1), "2")), "a.xml.p7m").tipo,
            QString("RC"));
    }

    // The envelope's signature: valid with the test authority trusted, not verifiable
    // without it, invalid when the content was changed; none on a plain message.
    void envelopeSignature() {
        const QByteArray m = risposta("RC", 1, "5");
        const QString ca = lavoro.filePath("ca.pem");
        QCOMPARE(leggiPosta(m, ca).firma, MessaggioPosta::Firma::Valida);
        QCOMPARE(leggiPosta(m).firma, MessaggioPosta::Firma::NonVerificabile);
        QByteArray alterato = m;
        alterato.replace("Messaggio di posta certificata", "Messaggio di posta alterato!!");
        const MessaggioPosta p = leggiPosta(alterato, ca);
        QCOMPARE(p.firma, MessaggioPosta::Firma::NonValida);
        QCOMPARE(p.allegati.size(), 1); // read all the same
        QCOMPARE(p.allegati[0].nome, PostaProva::nomeNotifica(nome(1), "RC"));
        const MessaggioPosta semplice =
            leggiPosta(posta.busta("x", PostaProva::messaggio("x", {}, "m@x"), "posta-certificata",
                                   "b@x", {}, false, false));
        QVERIFY(semplice.letto);
        QCOMPARE(semplice.firma, MessaggioPosta::Firma::Assente);
    }

    // Every state from its answers, the provider's receipts as steps, a supplier invoice
    // plain and signed, a broken one, garbage, an unmatched answer, everything twice.
    void everyStateFromAFolder() {
        for (int id = 1; id <= 9; ++id)
            TestDb::esegui(db, {QString("INSERT INTO testata (id_invio, nome_file, inviata) VALUES "
                                        "(%1, '%2', %3)")
                                    .arg(id)
                                    .arg(nome(id))
                                    .arg(id == 9 ? 0 : 1)});
        const QString dir = lavoro.filePath("posta");
        scrivi(dir + "/01_rc.eml", risposta("RC", 1, "101"));
        scrivi(dir + "/02_ns.eml",
               risposta("NS", 2, "102", true,
                        {{"00305", "IdFiscaleIVA del cessionario non valido", ""},
                         {"00306", "CodiceFiscale del cessionario non valido", ""}}));
        scrivi(dir + "/03_mc.eml", risposta("MC", 3, "103"));
        scrivi(dir + "/04_ne.eml", risposta("NE", 4, "104", false, {}, "EC01"));
        scrivi(dir + "/05_ne.eml", risposta("NE", 5, "105", true, {}, "EC02"));
        scrivi(dir + "/06_dt.eml", risposta("DT", 6, "106"));
        scrivi(dir + "/07_mc.eml", risposta("MC", 7, "107", true));
        scrivi(dir + "/08_at.xml", PostaProva::notifica("AT", nome(7), "107"));
        scrivi(dir + "/09_rc_copia.eml", risposta("RC", 1, "101")); // the same answer again
        scrivi(dir + "/10_sconosciuta.eml", risposta("RC", 99, "199"));
        // The provider's receipts: acceptance, and the delivery carrying our own invoice.
        scrivi(dir + "/11_accettazione.eml",
               posta.busta("ACCETTAZIONE: Fattura elettronica " + nome(8), {}, "accettazione",
                           "acc-8@pec.prova", "accettazione"));
        scrivi(dir + "/12_consegna.eml",
               posta.busta("CONSEGNA: Fattura elettronica " + nome(8),
                           PostaProva::messaggio("Fattura elettronica " + nome(8),
                                                 {{nome(8), fornitore()}}, "orig-8@pec.prova"),
                           "avvenuta-consegna", "cons-8@pec.prova", "avvenuta-consegna"));
        // Supplier invoices: plain with its metadata, signed, broken; garbage.
        const QString fPlain = "IT02345678904_SDI01.xml";
        scrivi(dir + "/13_fornitore.eml",
               posta.busta("POSTA CERTIFICATA: Invio File 301",
                           PostaProva::messaggio("Invio File 301",
                                                 {{fPlain, fornitore()},
                                                  {"IT02345678904_SDI01_MT_001.xml",
                                                   PostaProva::notifica("MT", fPlain, "301")}},
                                                 "sdi-301@pec"),
                           "posta-certificata", "opec-301@pec.prova"));
        QByteArray altro = fornitore();
        altro.replace("<Numero>", "<Numero>F");
        scrivi(dir + "/14_firmata.eml",
               posta.busta("POSTA CERTIFICATA: Invio File 302",
                           PostaProva::messaggio(
                               "Invio File 302",
                               {{"IT02345678904_SDI02.xml.p7m", posta.p7m(altro)}}, "sdi-302@pec"),
                           "posta-certificata", "opec-302@pec.prova"));
        scrivi(dir + "/15_rotta.eml",
               posta.busta("POSTA CERTIFICATA: Invio File 303",
                           PostaProva::messaggio(
                               "Invio File 303",
                               {{"IT02345678904_SDI03.xml", fornitore().left(300)}}, "sdi-303@pec"),
                           "posta-certificata", "opec-303@pec.prova"));
        scrivi(dir + "/16_spazzatura.eml", QByteArray(2000, '\x01'));

        QVERIFY2(esegui({"notifiche", "posta"}) == 0, qPrintable(err + out));
        QCOMPARE(ultima(),
                 QString("notifiche 8, fatture ricevute 2, ricevute PEC 2, gia registrate "
                         "1, non abbinate 1, illeggibili 2"));
        QVERIFY2(out.contains("02_ns.eml [" + PostaProva::nomeNotifica(nome(2), "NS") +
                              "]: notifica di scarto (NS)"),
                 qPrintable(out));
        QVERIFY(out.contains("ricevuta PEC di accettazione della fattura Id. Invio 8"));
        QVERIFY(out.contains("IT02345678904_SDI01.xml caricata"));
        QVERIFY(out.contains("16_spazzatura.eml: illeggibile"));
        QCOMPARE(TestDb::valore(db, "SELECT COUNT(*) FROM test_car"), QString("2"));
        QCOMPARE(TestDb::valore(db, "SELECT identificativo_sdi FROM sdi_fatture_ricevute WHERE "
                                    "nome_file = 'IT02345678904_SDI01.xml'"),
                 QString("301"));
        QVERIFY(QFile::exists(lavoro.filePath("ricevute/IT02345678904_SDI02.xml.p7m")));
        QVERIFY(!QFile::exists(lavoro.filePath("ricevute/IT02345678904_SDI03.xml")));
        // The garbage and the broken invoice's file are kept aside, not loaded.
        QCOMPARE(TestDb::valore(db, "SELECT COUNT(*) FROM sdi_illeggibili"), QString("2"));
        QCOMPARE(TestDb::valore(db, "SELECT inviata FROM testata WHERE id_invio = 2"),
                 QString("0"));
        QCOMPARE(TestDb::valore(db, "SELECT inviata FROM testata WHERE id_invio = 1"),
                 QString("1"));

        const QStringList parole = {"consegnata",     "scartata",  "non consegnata",
                                    "accettata",      "rifiutata", "decorrenza termini",
                                    "non consegnata", "inviata",   "da inviare"};
        for (int id = 1; id <= 9; ++id) {
            QCOMPARE(esegui({"stato", "--id", QString::number(id)}), 0);
            QCOMPARE(out.split(u'\n').first(), "stato: " + parole[id - 1]);
        }
        QCOMPARE(esegui({"stato", "--id", "2"}), 0);
        QCOMPARE(out, QString("stato: scartata\nNS 10/12/2026 10:05:00 SdI 102\n"
                              "  00305 IdFiscaleIVA del cessionario non valido\n"
                              "  00306 CodiceFiscale del cessionario non valido\n"));
        QCOMPARE(esegui({"stato", "--id", "8"}), 0);
        QCOMPARE(out, QString("stato: inviata\nPEC accettazione 10/12/2026 10:01:00\n"
                              "PEC avvenuta-consegna 10/12/2026 10:01:00\n"));
        QCOMPARE(esegui({"stato", "--id", "1"}), 0);
        QCOMPARE(out, QString("stato: consegnata\nRC 10/12/2026 10:07:00 SdI 101\n"));

        // Read again: everything was recorded before, garbage is still garbage.
        QVERIFY2(esegui({"notifiche", "posta"}) == 0, qPrintable(err + out));
        QCOMPARE(ultima(),
                 QString("notifiche 0, fatture ricevute 0, ricevute PEC 0, gia registrate "
                         "14, non abbinate 0, illeggibili 2"));
        QCOMPARE(TestDb::valore(db, "SELECT COUNT(*) FROM sdi_notifiche"), QString("9"));
        QCOMPARE(TestDb::valore(db, "SELECT COUNT(*) FROM test_car"), QString("2"));
    }

    // Two readers of the same messages at the same moment record each once.
    void twoReadersAtOnce() {
        for (int id = 1; id <= 20; ++id)
            TestDb::esegui(db, {QString("INSERT INTO testata (id_invio, nome_file, inviata) VALUES "
                                        "(%1, '%2', 1)")
                                    .arg(id)
                                    .arg(nome(id))});
        QList<QByteArray> messaggi;
        for (int id = 1; id <= 20; ++id)
            messaggi << risposta(id % 2 ? "RC" : "NS", id, QString::number(500 + id), false,
                                 {{"00200", "File non conforme", ""}});
        {
            Connection c(QStringLiteral("migrazioni"));
            TestDb::punta(c, db);
            c.connect();
            applicaMigrazioni(c);
        }
        ContiNotifiche conti[2];
        auto leggi = [&](int n) {
            Connection c(QStringLiteral("lettore%1").arg(n));
            TestDb::punta(c, db);
            c.connect();
            LettoreNotifiche l(c, lavoro.filePath("ricevute"));
            for (const QByteArray& m : messaggi)
                l.messaggio(m, "m");
            conti[n] = l.conti();
        };
        std::thread a(leggi, 0), b(leggi, 1);
        a.join();
        b.join();
        QCOMPARE(conti[0].notifiche + conti[1].notifiche, 20);
        QCOMPARE(conti[0].giaRegistrate + conti[1].giaRegistrate, 20);
        QCOMPARE(TestDb::valore(db, "SELECT COUNT(*) FROM sdi_notifiche"), QString("20"));
        QCOMPARE(TestDb::valore(db, "SELECT COUNT(*) FROM sdi_errori"), QString("10"));
        QCOMPARE(TestDb::valore(db, "SELECT COUNT(*) FROM testata WHERE inviata = 0"),
                 QString("10"));
    }

    // A rejection gives the invoice back: inviata is cleared, the next file takes a new
    // progressive and so a new name, the rejected file stays as the record of what was sent.
    void rejectionGivesANewName() {
        TestDb::esegui(
            db,
            {"INSERT INTO testata (id_invio, rag_soc, indirizzo, comune, cap, prov, nazione, "
             "p_iva, "
             "cod_fis, cod_dest, data_doc, num_doc, tipo_doc, tipo_pag, mod_pag, n_rate, esig_iva, "
             "esig_iva2, spese, spese2, spese3, arrot, arrot2, arrot3) VALUES (7, 'CLIENTE SPA', "
             "'VIA VERDI 2', 'MILANO', '20100', 'MI', 'IT', '09876543217', '09876543217', "
             "'ABC1234', '15/03/2023', '12', 'TD01', 'TP02', 'MP05', 0, 'I', 'I', '0,00', '0,00', "
             "'0,00', '0,00', '0,00', '0,00')",
             "INSERT INTO dettaglio (id_invio, prog, descrizione, quantita, um, prezzo_unit, "
             "prezzo_tot, aliquota) VALUES (7, 1, 'Bulloni', '1,00', 'PZ', '100,000', '100,00', "
             "'22')"});
        QCOMPARE(esegui({"totals", "--id", "7"}), 0);
        QCOMPARE(esegui({"xml", "--id", "7"}), 0);
        const QString primo = out.trimmed();
        QVERIFY2(primo.endsWith(nome(7)), qPrintable(primo));
        TestDb::esegui(db, {"UPDATE testata SET inviata = 1 WHERE id_invio = 7"});
        QFile vecchio(primo);
        QVERIFY(vecchio.open(QIODevice::ReadOnly));
        const QByteArray inviato = vecchio.readAll();
        vecchio.close();

        scrivi(lavoro.filePath("posta/ns.eml"),
               risposta("NS", 7, "700", false, {{"00404", "Fattura duplicata", "Verificare"}}));
        QCOMPARE(esegui({"notifiche", "posta/ns.eml"}), 0);
        QVERIFY2(out.contains("fattura da correggere e inviare di nuovo"), qPrintable(out));
        QCOMPARE(TestDb::valore(db, "SELECT inviata FROM testata WHERE id_invio = 7"),
                 QString("0"));
        QCOMPARE(esegui({"stato", "--id", "7"}), 0);
        QVERIFY(out.startsWith("stato: scartata\n"));

        QCOMPARE(esegui({"xml", "--id", "7"}), 0);
        const QString secondo = out.trimmed();
        QVERIFY2(secondo.endsWith(QString("IT%1_10007.xml").arg(piva)), qPrintable(secondo));
        QCOMPARE(ValidatoreFatturaPA().valida(secondo).size(), 0);
        QFile ancora(primo);
        QVERIFY(ancora.open(QIODevice::ReadOnly));
        QCOMPARE(ancora.readAll(), inviato);
        QCOMPARE(esegui({"stato", "--id", "7"}), 0);
        QCOMPARE(out.split(u'\n').first(), QString("stato: da inviare"));
        QVERIFY(out.contains("NS ")); // the rejection stays in the history
        // Written again, the new name stays; a second rejection moves on once more.
        QCOMPARE(esegui({"xml", "--id", "7"}), 0);
        QCOMPARE(out.trimmed(), secondo);
    }
};

QTEST_GUILESS_MAIN(TstNotifiche)
#include "tst_notifiche.moc"
