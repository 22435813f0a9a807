#include "tst_creaxml_prova.h"

#include "db/DbError.h"
#include "db/FatturaInviata.h"
#include "fatturapa/ErroreXml.h"
#include "platform/ErroreConversione.h"
#include "platform/Testi.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>

// What the writers do beyond the letter of the document tables, so that the
// exchange system never rejects a file for the writer's sake and no data is
// lost: safe values, percentages and discounts as the system reads them,
// recipient code, consumers, contacts, whole files only, no file replaced that
// belongs to another invoice.
class TstCreaXmlMende : public QObject {
    Q_OBJECT
    ProvaXml prova{QStringLiteral("gfe_t_creaxml_mende")};
    const QString nome42 = QStringLiteral("IT01234567897_A0042.xml");

    QString nomeFile(int id) const {
        return prova.valore(
            QStringLiteral("SELECT nome_file FROM testata WHERE id_invio = %1").arg(id));
    }

    // Writes invoice id and returns the path of the file, which must pass the
    // validator with exactly the problems given.
    QString scriviVerificato(int id, FormatoFatturaPA formato, const QStringList& problemi = {},
                             const QString& titolo = "FATTURE") {
        const QString percorso = prova.scrivi(id, formato, titolo);
        const QStringList trovati = ProvaXml::problemi(percorso);
        if (trovati != problemi) qWarning().noquote() << ProvaXml::descrizioneProblemi(percorso);
        [&] { QCOMPARE(trovati, problemi); }();
        return percorso;
    }

    QString scriviValido(int id, FormatoFatturaPA formato = FormatoFatturaPA::FPR12,
                         const QStringList& problemi = {}) {
        return QString::fromUtf8(ProvaXml::leggi(scriviVerificato(id, formato, problemi)));
    }

    void nuova(int id, const Valori& testata, const Righe& righe = {Valori{}}) {
        TestDb::esegui(prova.database(),
                       {QStringLiteral("DELETE FROM testata WHERE id_invio = %1").arg(id),
                        QStringLiteral("DELETE FROM dettaglio WHERE id_invio = %1").arg(id)});
        prova.fattura(id, testata);
        for (int i = 0; i < righe.size(); ++i)
            prova.riga(id, i + 1, righe[i]);
    }

private slots:
    void initTestCase() { prova.ricrea(); }
    void init() { prova.azzera(); }
    void cleanupTestCase() { prova.chiudi(); }

    // Whatever a value holds, the document is well formed.
    void marcaturaNeiValori() {
        nuova(60,
              {{"rag_soc", "Rossi <Srl> & C"},
               {"num_doc", "1<2&3"},
               {"comune", "A>B"},
               {"mod_pag", "MP05"}},
              {{{"codice_tipo", "A&B"},
                {"codice_val", "<X>"},
                {"um", "m<2>"},
                {"descrizione", QString("a\x01"
                                        "b <c> & d")},
                {"rif_amm", "R&D"},
                {"categoria", "a&b"}}});
        prova.aggiorna("azienda", {{"rag_soc", "Verdi & Figli"}, {"telefono", "0<45>"}});
        const QString testo = scriviValido(60);
        for (const char* riga :
             {"<Denominazione>Rossi &#60;Srl&#62; &#38; C</Denominazione>",
              "<Comune>A&#62;B</Comune>", "<Numero>1&#60;2&#38;3</Numero>",
              "<CodiceTipo>A&#38;B</CodiceTipo>", "<CodiceValore>&#60;X&#62;</CodiceValore>",
              "<UnitaMisura>m&#60;2&#62;</UnitaMisura>",
              "<Descrizione>ab &#60;c&#62; &#38; d</Descrizione>",
              "<RiferimentoAmministrazione>R&#38;D</RiferimentoAmministrazione>",
              "<RiferimentoTesto>a&#38;b</RiferimentoTesto>",
              "<Denominazione>Verdi &#38; Figli</Denominazione>",
              "<Beneficiario>Verdi &#38; Figli</Beneficiario>",
              "<Telefono>0&#60;45&#62;</Telefono>"})
            QVERIFY2(testo.contains(QString::fromUtf8(riga)), riga);
    }

    // Percentages in rate form, the amount per unit, the block left
    // out for a net unit price; every file passes the check of PrezzoTotale.
    void scontiDiRiga_data() {
        QTest::addColumn<FormatoFatturaPA>("formato");
        QTest::addColumn<Valori>("riga");
        QTest::addColumn<QString>("blocco");
        QTest::addColumn<QStringList>("problemi");
        const auto R = FormatoFatturaPA::FPR12;
        const QString inizio = "<PrezzoUnitario>%1</PrezzoUnitario>\r\n<ScontoMaggiorazione>\r\n"
                               "<Tipo>SC</Tipo>\r\n";
        const QString fine = "</ScontoMaggiorazione>\r\n<PrezzoTotale>";
        QTest::newRow("prezzo netto importato")
            << R
            << Valori{{"quantita", "2"},
                      {"prezzo_unit", "9,000"},
                      {"sc_perc", "10,00"},
                      {"sc_importo", "2"},
                      {"prezzo_tot", "18,000"}}
            << "<PrezzoUnitario>9.0000</PrezzoUnitario>\r\n<PrezzoTotale>18.0000</PrezzoTotale>"
            << QStringList{};
        QTest::newRow("2,00 su 2")
            << R
            << Valori{{"quantita", "2"},
                      {"prezzo_unit", "10"},
                      {"sc_perc", "10"},
                      {"sc_importo", "2,00"},
                      {"prezzo_tot", "18"}}
            << inizio.arg("10.0000") +
                   "<Percentuale>10.00</Percentuale>\r\n<Importo>1.00</Importo>\r\n" + fine
            << QStringList{};
        QTest::newRow("1,00 su 3")
            << R
            << Valori{{"quantita", "3"},
                      {"prezzo_unit", "1"},
                      {"sc_importo", "1,00"},
                      {"prezzo_tot", "2"}}
            << inizio.arg("1.0000") + "<Importo>0.33333333</Importo>\r\n" + fine << QStringList{};
        QTest::newRow("percentuale 5,5 e importo")
            << R
            << Valori{{"quantita", "4"},
                      {"prezzo_unit", "10"},
                      {"sc_perc", "5,5"},
                      {"sc_importo", "2,2"},
                      {"prezzo_tot", "37,8"}}
            << inizio.arg("10.0000") +
                   "<Percentuale>5.50</Percentuale>\r\n<Importo>0.55</Importo>\r\n" + fine
            << QStringList{};
        QTest::newRow("solo percentuale")
            << R
            << Valori{{"quantita", "2"},
                      {"prezzo_unit", "10"},
                      {"sc_perc", "10"},
                      {"sc_importo", ""},
                      {"prezzo_tot", "18"}}
            << inizio.arg("10.0000") + "<Percentuale>10.00</Percentuale>\r\n" + fine
            << QStringList{};
        QTest::newRow("percentuale e importo illeggibili")
            << R
            << Valori{{"quantita", "2"},
                      {"prezzo_unit", "10"},
                      {"sc_perc", "dieci"},
                      {"sc_importo", "1.000"},
                      {"prezzo_tot", "18"}}
            << inizio.arg("10.0000") + fine << QStringList{"00423"};
        QTest::newRow("quantita zero")
            << R
            << Valori{{"quantita", "0"},
                      {"prezzo_unit", "10"},
                      {"sc_importo", "2"},
                      {"prezzo_tot", "8"}}
            << "<Descrizione>Articolo</Descrizione>\r\n<UnitaMisura>PZ</UnitaMisura>\r\n" +
                   inizio.arg("10.0000") + "<Importo>2.00</Importo>\r\n" + fine
            << QStringList{};
        QTest::newRow("FPA12 2,00 su 2")
            << FormatoFatturaPA::FPA12
            << Valori{{"quantita", "2"},
                      {"prezzo_unit", "10"},
                      {"sc_importo", "2"},
                      {"prezzo_tot", "18"}}
            << inizio.arg("10.0000") + "<Importo>1.00</Importo>\r\n" + fine << QStringList{};
    }
    void scontiDiRiga() {
        QFETCH(FormatoFatturaPA, formato);
        QFETCH(Valori, riga);
        QFETCH(QString, blocco);
        QFETCH(QStringList, problemi);
        const bool fpa = formato == FormatoFatturaPA::FPA12;
        riga.insert("sc_tipo", "SC");
        const QString totale = riga.value("prezzo_tot");
        nuova(61,
              {{"cod_dest", fpa ? "UFABCD" : "ABC1234"},
               {"imponibile", totale},
               {"imposta", Testi::importo(Testi::numero(totale) * 22 / 100)}},
              {riga});
        const QString testo = scriviValido(61, formato, problemi);
        QVERIFY2(testo.contains("<TipoCessionePrestazione>SC</TipoCessionePrestazione>"),
                 qPrintable(testo));
        QVERIFY2(testo.contains(blocco), qPrintable(testo));
        if (!blocco.contains("<ScontoMaggiorazione>"))
            QVERIFY(!testo.contains("<ScontoMaggiorazione>"));
    }

    // A consumer without recipient code and without VAT number.
    void consumatore_data() {
        QTest::addColumn<QString>("partitaIva");
        QTest::addColumn<QString>("codiceFiscale");
        QTest::addColumn<QStringList>("problemi");
        QTest::newRow("partita IVA vuota") << ""
                                           << "RSSMRA80A01G224W" << QStringList{};
        QTest::newRow("partita IVA di blank") << "   "
                                              << "RSSMRA80A01G224W" << QStringList{};
        QTest::newRow("null") << nessuno << "RSSMRA80A01G224W" << QStringList{};
        QTest::newRow("né partita IVA né codice fiscale") << ""
                                                          << "" << QStringList{"00417"};
    }
    void consumatore() {
        QFETCH(QString, partitaIva);
        QFETCH(QString, codiceFiscale);
        QFETCH(QStringList, problemi);
        nuova(62, {{"p_iva", partitaIva}, {"cod_fis", codiceFiscale}, {"cod_dest", ""}});
        const QString testo = scriviValido(62, FormatoFatturaPA::FPR12, problemi);
        QVERIFY(testo.contains("<FormatoTrasmissione>FPR12</FormatoTrasmissione>\r\n"
                               "<CodiceDestinatario>0000000</CodiceDestinatario>\r\n"));
        QVERIFY(testo.contains("<CessionarioCommittente>\r\n<DatiAnagrafici>\r\n" +
                               (codiceFiscale.isEmpty()
                                    ? QString()
                                    : "<CodiceFiscale>" + codiceFiscale + "</CodiceFiscale>\r\n") +
                               "<Anagrafica>\r\n"));
        QCOMPARE(testo.count("<IdFiscaleIVA>"), 1); // the supplier's only
    }

    // The contacts of the transmitter only when there are any.
    void contatti_data() {
        QTest::addColumn<QString>("telefono");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("atteso");
        const QString prima = "<CodiceDestinatario>ABC1234</CodiceDestinatario>\r\n";
        const QString dopo = "</DatiTrasmissione>\r\n";
        QTest::newRow("nessuno") << "" << nessuno << prima + dopo;
        QTest::newRow("solo telefono")
            << "045123456"
            << ""
            << prima +
                   "<ContattiTrasmittente>\r\n<Telefono>045123456</Telefono>\r\n"
                   "</ContattiTrasmittente>\r\n" +
                   dopo;
        QTest::newRow("solo email")
            << nessuno << "info@rossi.it"
            << prima +
                   "<ContattiTrasmittente>\r\n<Email>info@rossi.it</Email>\r\n"
                   "</ContattiTrasmittente>\r\n" +
                   dopo;
    }
    void contatti() {
        QFETCH(QString, telefono);
        QFETCH(QString, email);
        QFETCH(QString, atteso);
        nuova(63, {});
        prova.aggiorna("azienda", {{"telefono", telefono}, {"mail", email}});
        const QString fpr = scriviValido(63, FormatoFatturaPA::FPR12);
        QVERIFY2(fpr.contains(atteso), qPrintable(fpr));
        // Seven characters of recipient code are too many for FPA12.
        const QString fpa = scriviValido(63, FormatoFatturaPA::FPA12, {"00427"});
        QVERIFY2(fpa.contains(atteso), qPrintable(fpa));
    }

    // The folder cannot take the file. The tests run with every right, so
    // the folder is missing or the file name is taken by a folder.
    void cartellaNonScrivibile_data() {
        QTest::addColumn<bool>("cartellaMancante");
        QTest::newRow("cartella mancante") << true;
        QTest::newRow("al posto del file una cartella") << false;
    }
    void cartellaNonScrivibile() {
        QFETCH(bool, cartellaMancante);
        nuova(64, {});
        if (cartellaMancante)
            prova.aggiorna("azienda", {{"path", prova.cartella() + "manca/"}});
        else
            QVERIFY(QDir(prova.cartella()).mkdir("IT01234567897_A0064.xml"));
        const QStringList prima = prova.contenuto();
        try {
            prova.scrivi(64, FormatoFatturaPA::FPR12);
            QFAIL("scritto");
        } catch (const ErroreXml& e) {
            QVERIFY2(
                e.messaggio().startsWith("Impossibile scrivere il file XML " + prova.cartella()),
                qPrintable(e.messaggio()));
        }
        QCOMPARE(prova.contenuto(), prima);
        QVERIFY(cartellaMancante || QFileInfo(prova.file("IT01234567897_A0064.xml")).isDir());
        // The name was stored before the file was attempted.
        QCOMPARE(nomeFile(64), QString("IT01234567897_A0064.xml"));
    }

    // A write that fails halfway (here a file size limit, as a full disk
    // would) leaves the earlier file whole and no partial file behind.
    void scritturaInterrotta() {
        nuova(68, {});
        const QString percorso = scriviVerificato(68, FormatoFatturaPA::FPR12);
        const QByteArray prima = ProvaXml::leggi(percorso);
        prova.aggiorna("dettaglio", {{"descrizione", QString(90, u'x')}});
        rlimit limite{}, ridotto{};
        getrlimit(RLIMIT_FSIZE, &limite);
        ridotto = limite;
        ridotto.rlim_cur = rlim_t(prima.size());
        const auto gestore = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &ridotto);
        bool fallito = false;
        try {
            prova.scrivi(68, FormatoFatturaPA::FPR12);
        } catch (const ErroreXml&) {
            fallito = true;
        }
        setrlimit(RLIMIT_FSIZE, &limite);
        std::signal(SIGXFSZ, gestore);
        QVERIFY(fallito);
        QCOMPARE(ProvaXml::leggi(percorso), prima);
        QCOMPARE(prova.contenuto(), QStringList{"IT01234567897_A0068.xml"});
    }

    // A value that stops the writer halfway leaves the earlier file as it was.
    void fileInteroOppureNiente_data() {
        QTest::addColumn<QString>("tabella");
        QTest::addColumn<Valori>("guasto");
        QTest::newRow("prezzo della riga") << "dettaglio" << Valori{{"prezzo_unit", "dieci"}};
        QTest::newRow("quantita vuota") << "dettaglio" << Valori{{"quantita", ""}};
        QTest::newRow("aliquota della riga") << "dettaglio" << Valori{{"aliquota", nessuno}};
        QTest::newRow("imposta") << "testata" << Valori{{"imposta", "x"}};
        QTest::newRow("spese del terzo riepilogo") << "testata" << Valori{{"spese3", ""}};
        QTest::newRow("percentuale di sconto") << "testata" << Valori{{"sc_perc", "5%"}};
    }
    void fileInteroOppureNiente() {
        QFETCH(QString, tabella);
        QFETCH(Valori, guasto);
        const Valori meta{{"prezzo_unit", "50"}, {"prezzo_tot", "50"}};
        nuova(65, {{"mod_pag", "MP05"}}, {meta, meta});
        const QString percorso = scriviVerificato(65, FormatoFatturaPA::FPR12);
        const QByteArray prima = ProvaXml::leggi(percorso);
        prova.aggiorna(tabella, guasto, "id_invio = 65");
        prova.aggiorna("testata", {{"nome_file", "vecchio.xml"}}, "id_invio = 65");
        QVERIFY_THROWS_EXCEPTION(ErroreConversione, prova.scrivi(65, FormatoFatturaPA::FPR12));
        QCOMPARE(ProvaXml::leggi(percorso), prima);
        QCOMPARE(prova.contenuto(), QStringList{"IT01234567897_A0065.xml"});
        QCOMPARE(nomeFile(65), QString("IT01234567897_A0065.xml"));
    }

    // Values read before anything changes: the invoice keeps its name.
    void valoriIniziali_data() {
        QTest::addColumn<QString>("tabella");
        QTest::addColumn<Valori>("guasto");
        QTest::newRow("capitale sociale vuoto") << "azienda" << Valori{{"capit_soc", ""}};
        QTest::newRow("data inesistente") << "testata" << Valori{{"data_doc", "31/02/2023"}};
        QTest::newRow("totale illeggibile") << "testata" << Valori{{"tot_doc", "1.220,00"}};
    }
    void valoriIniziali() {
        QFETCH(QString, tabella);
        QFETCH(Valori, guasto);
        nuova(66, {});
        prova.aggiorna(tabella, guasto);
        QVERIFY_THROWS_EXCEPTION(ErroreConversione, prova.scrivi(66, FormatoFatturaPA::FPR12));
        QCOMPARE(nomeFile(66), QString("<null>"));
        QCOMPARE(prova.contenuto(), QStringList{});
    }

    // Above 9999 the progressives repeat; the earlier invoice's file stays.
    void nomeDiUnAltraFattura() {
        nuova(42, {});
        nuova(10041, {{"cod_dest", "XYZ9876"}});
        const QString percorso = scriviVerificato(42, FormatoFatturaPA::FPR12);
        const QByteArray file42 = ProvaXml::leggi(percorso);
        for (FormatoFatturaPA formato : {FormatoFatturaPA::FPR12, FormatoFatturaPA::FPA12}) {
            try {
                prova.scrivi(10041, formato);
                QFAIL("sostituito il file della fattura 42");
            } catch (const ErroreXml& e) {
                QCOMPARE(e.messaggio(),
                         QString("Il nome di file IT01234567897_A0042.xml appartiene già alla "
                                 "fattura Id. Invio 42: il file XML della fattura Id. Invio 10041 "
                                 "non è stato creato per non sostituire il suo."));
            }
        }
        QCOMPARE(ProvaXml::leggi(percorso), file42);
        QCOMPARE(nomeFile(10041), QString("<null>"));
        QCOMPARE(prova.contenuto(), QStringList{nome42});
        // The other series has a name of its own; the invoice itself may be rewritten.
        QCOMPARE(scriviVerificato(10041, FormatoFatturaPA::FPR12, {}, "A"),
                 prova.file("IT01234567897_00042.xml"));
        QCOMPARE(scriviVerificato(42, FormatoFatturaPA::FPA12, {"00427"}), percorso);
        QCOMPARE(prova.contenuto(), (QStringList{"IT01234567897_00042.xml", nome42}));
    }

    // One file per invoice: the later run replaces the earlier one's file, until the
    // invoice is sent; from then on its file is never written again.
    void riscritturaEStatoDopo() {
        nuova(42, {{"imponibile", "300"}, {"imposta", "66"}, {"tot_doc", "366"}},
              {Valori{}, Valori{}, Valori{}});
        scriviVerificato(42, FormatoFatturaPA::FPR12);
        const QString percorso = scriviVerificato(42, FormatoFatturaPA::FPA12, {"00427"});
        QCOMPARE(prova.contenuto(), QStringList{nome42});
        QVERIFY(ProvaXml::leggi(percorso).startsWith(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<ns3:"));
        TDiz& d = prova.diz();
        QCOMPARE(d.Testata->state(), TableState::Browse);
        QCOMPARE(d.Testata->field("id_invio").asInteger(), 42);
        QCOMPARE(d.Testata->field("nome_file").asString(), nome42);
        QVERIFY(d.Detta->eof());
        QCOMPARE(d.Detta->recordCount(), 3);

        const QByteArray inviato = ProvaXml::leggi(percorso);
        prova.aggiorna("testata", {{"inviata", "1"}}, "id_invio = 42");
        for (FormatoFatturaPA formato : {FormatoFatturaPA::FPR12, FormatoFatturaPA::FPA12}) {
            try {
                prova.scrivi(42, formato);
                QFAIL("riscritto il file di una fattura inviata");
            } catch (const ErroreFatturaInviata& e) {
                QCOMPARE(e.messaggio(), QString("Operazione non possibile... Fattura Inviata"));
            }
        }
        QCOMPARE(ProvaXml::leggi(percorso), inviato);
        QCOMPARE(prova.contenuto(), QStringList{nome42});
        QCOMPARE(prova.valore("SELECT CONCAT_WS('|', inviata, nome_file) FROM testata WHERE "
                              "id_invio = 42"),
                 "1|" + nome42);
    }

    // Changes the user has not posted yet go with the name into the row and
    // into the document.
    void modificheInCorso() {
        nuova(67, {});
        prova.apri();
        TDiz& d = prova.diz();
        d.Testata->refresh();
        QVERIFY(d.Testata->locate("id_invio", 67));
        d.Testata->edit();
        d.Testata->field("rag_soc").setAsString("Neri Srl");
        const QString percorso =
            ScrittoreFatturaPA(FormatoFatturaPA::FPR12, "X", d.fattura()).scrivi();
        QVERIFY(ProvaXml::leggi(percorso).contains("<Denominazione>Neri Srl</Denominazione>"));
        QCOMPARE(ProvaXml::problemi(percorso), QStringList{});
        QCOMPARE(prova.valore("SELECT rag_soc FROM testata WHERE id_invio = 67"),
                 QString("Neri Srl"));
        QCOMPARE(d.Testata->state(), TableState::Browse);
    }
};

QTEST_GUILESS_MAIN(TstCreaXmlMende)
#include "tst_creaxml_mende.moc"
