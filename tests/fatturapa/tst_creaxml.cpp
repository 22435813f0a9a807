#include "tst_creaxml_prova.h"

#include "fatturapa/CreaXml.h"
#include "fatturapa/NomeFatturaPA.h"

#include <QtTest>

// The two writers over invoices of a test database: whole documents against
// files written by hand, then single rules over a base invoice. Every file
// written goes through the validator of the exchange system's checks.
class TstCreaXml : public QObject {
    Q_OBJECT
    ProvaXml prova{QStringLiteral("gfe_t_creaxml")};

    // Two rates, a document discount, a discounted line, an imported line with
    // its net price, expenses, rounding and three instalments.
    void fattura42() {
        prova.fattura(42, {{"rag_soc", "Bianchi & C. S.n.c."},
                           {"num_doc", "15"},
                           {"tot_doc", "95,79"},
                           {"tipo_pag", "TP01"},
                           {"mod_pag", "MP05"},
                           {"n_rate", "3"},
                           {"sc_tipo", "SC"},
                           {"sc_perc", "5,5"},
                           {"spese", "1,50"},
                           {"arrot", "-0,01"},
                           {"imponibile", "38,00"},
                           {"imposta", "8,36"},
                           {"imponibile2", "50,00"},
                           {"imposta2", "5,00"},
                           {"aliquota2", "10"},
                           {"arrot2", "0,02"},
                           {"natura2", ""},
                           {"imponibile3", ""},
                           {"dest_soc", "Magazzino Nord"}});
        prova.riga(42, 2,
                   {{"codice_tipo", "INTERNO"},
                    {"codice_val", "ART-1"},
                    {"descrizione", "Tubo - 3/4"},
                    {"quantita", "2"},
                    {"prezzo_unit", "10"},
                    {"sc_tipo", "SC"},
                    {"sc_perc", "10"},
                    {"sc_importo", "2"},
                    {"prezzo_tot", "18"},
                    {"categoria", "A01"},
                    {"lotto", "L-7"},
                    {"origine", nessuno}});
        prova.riga(42, 1,
                   {{"descrizione", "Raccordo @ 90°"},
                    {"quantita", "2"},
                    {"prezzo_unit", "9,000"},
                    {"sc_tipo", "SC"},
                    {"sc_perc", "10,00"},
                    {"sc_importo", "2"},
                    {"prezzo_tot", "18,000"},
                    {"rif_amm", "RIF1"},
                    {"origine", "IT"}});
        prova.riga(42, 3,
                   {{"descrizione", "Posa in opera"},
                    {"um", ""},
                    {"prezzo_unit", "50"},
                    {"prezzo_tot", "50"},
                    {"aliquota", "10"},
                    {"lotto", "   "}});
        prova.riga(42, 4,
                   {{"descrizione", "Guarnizione \"O-ring\""},
                    {"quantita", "3"},
                    {"prezzo_unit", "1"},
                    {"sc_tipo", "SC"},
                    {"sc_importo", "1"},
                    {"prezzo_tot", "2"}});
    }

    // A public administration: split payment of the taxable amounts, a line
    // outside the scope of VAT, a discount per unit.
    void fattura43() {
        prova.fattura(43, {{"rag_soc", "Comune di Verona - Servizi"},
                           {"indirizzo", "Piazza Bra 1"},
                           {"comune", "Verona"},
                           {"cap", "37121"},
                           {"prov", "VR"},
                           {"p_iva", "00215150236"},
                           {"cod_fis", "00215150236"},
                           {"cod_dest", "UFABCD"},
                           {"data_doc", "20/11/2023"},
                           {"num_doc", "16/PA"},
                           {"tot_doc", "172,50"},
                           {"n_rate", "3"},
                           {"sc_tipo", "SC"},
                           {"sc_perc", "2"},
                           {"aliquota2", "0"},
                           {"natura2", "N2.2"},
                           {"imponibile2", "50,50"},
                           {"imposta2", "0,00"}});
        prova.riga(43, 1,
                   {{"descrizione", "Tubo - 3/4"},
                    {"quantita", "5"},
                    {"prezzo_unit", "22"},
                    {"sc_tipo", "SC"},
                    {"sc_importo", "10"},
                    {"categoria", "  "},
                    {"lotto", nessuno},
                    {"origine", "IT"}});
        prova.riga(43, 2,
                   {{"descrizione", "Servizio <esente>"},
                    {"um", ""},
                    {"prezzo_unit", "50,5"},
                    {"prezzo_tot", "50,5"},
                    {"aliquota", "0"},
                    {"natura", "N2.2"}});
    }

    // A consumer known by tax code and PEC, no delivery address, paid in full.
    void fattura44() {
        prova.fattura(44, {{"rag_soc", "Mario Rossi"},
                           {"indirizzo", "Via Roma 3"},
                           {"comune", "Padova"},
                           {"cap", "35100"},
                           {"prov", ""},
                           {"p_iva", ""},
                           {"cod_fis", "RSSMRA80A01G224W"},
                           {"cod_dest", ""},
                           {"pec", "mario.rossi@pec.it"},
                           {"data_doc", "01/02/23"},
                           {"num_doc", "17"},
                           {"mod_pag", "MP05"},
                           {"sc_tipo", "SC"},
                           {"sc_perc", "0,00"},
                           {"esig_iva", "D"},
                           {"dest_soc", ""},
                           {"dest_indir", " "},
                           {"dest_comune", ""}});
        prova.riga(44, 1,
                   {{"codice_tipo", "EAN"},
                    {"codice_val", "8001234567890"},
                    {"descrizione", "Caldaia a condensazione + kit"},
                    {"um", "NR"}});
    }

    // Invoice 50 anew: the valid base with the case's changes and lines.
    void preparaBase(const Valori& testata, const Righe& righe) {
        TestDb::esegui(prova.database(), {"DELETE FROM testata WHERE id_invio = 50",
                                          "DELETE FROM dettaglio WHERE id_invio = 50"});
        prova.fattura(50, testata);
        for (int i = 0; i < righe.size(); ++i)
            prova.riga(50, i + 1, righe[i]);
    }

private slots:
    void initTestCase() {
        prova.ricrea();
        fattura42();
        fattura43();
        fattura44();
    }
    void cleanupTestCase() { prova.chiudi(); }

    void documentiInteri_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<FormatoFatturaPA>("formato");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("FPR12 a un'impresa") << 42 << FormatoFatturaPA::FPR12 << "FATTURE"
                                            << "fpr12_fattura42.xml";
        QTest::newRow("FPA12 a un ente pubblico") << 43 << FormatoFatturaPA::FPA12 << ""
                                                  << "fpa12_fattura43.xml";
        QTest::newRow("FPR12 a un consumatore, serie A") << 44 << FormatoFatturaPA::FPR12 << "A"
                                                         << "fpr12_consumatore44.xml";
    }
    void documentiInteri() {
        QFETCH(int, id);
        QFETCH(FormatoFatturaPA, formato);
        QFETCH(QString, titolo);
        QFETCH(QString, atteso);
        const QString percorso = prova.scrivi(id, formato, titolo);
        const QString progressivo = NomeFatturaPA::progressivo(id, titolo);
        QCOMPARE(percorso, prova.file("IT01234567897_" + progressivo + ".xml"));
        const QByteArray scritto = ProvaXml::leggi(percorso);
        const QByteArray previsto = ProvaXml::leggi(QStringLiteral(GFE_GOLDEN_DIR "/") + atteso);
        QCOMPARE(scritto.split('\n'), previsto.split('\n'));
        QCOMPARE(scritto, previsto);
        QVERIFY2(ProvaXml::problemi(percorso).isEmpty(),
                 qPrintable(ProvaXml::descrizioneProblemi(percorso)));
        QCOMPARE(prova.valore(
                     QStringLiteral("SELECT nome_file FROM testata WHERE id_invio = %1").arg(id)),
                 QFileInfo(percorso).fileName());
    }

    // The plain functions the windows call write the same documents.
    void funzioniDelleFinestre() {
        prova.scrivi(42, FormatoFatturaPA::FPR12);
        const QString fpr = CreaXmlFPR12(prova.diz().fattura(), QStringLiteral("FATTURE"));
        QCOMPARE(ProvaXml::leggi(fpr),
                 ProvaXml::leggi(QStringLiteral(GFE_GOLDEN_DIR "/fpr12_fattura42.xml")));
        prova.diz().Testata->locate("id_invio", 43);
        const QString fpa = CreaXmlFPA12(prova.diz().fattura(), QString());
        QCOMPARE(ProvaXml::leggi(fpa),
                 ProvaXml::leggi(QStringLiteral(GFE_GOLDEN_DIR "/fpa12_fattura43.xml")));
    }

    void regole_data() {
        QTest::addColumn<FormatoFatturaPA>("formato");
        QTest::addColumn<Valori>("testata");
        QTest::addColumn<Righe>("righe");
        QTest::addColumn<QStringList>("presenti");
        QTest::addColumn<QStringList>("assenti");
        QTest::addColumn<QStringList>("problemi");
        const auto R = FormatoFatturaPA::FPR12;
        const auto A = FormatoFatturaPA::FPA12;
        const Righe una{Valori{}};
        const Valori pa{{"cod_dest", "UFABCD"}};
        QTest::newRow("consegna vuota")
            << R << Valori{{"dest_soc", ""}, {"dest_indir", ""}, {"dest_comune", nessuno}} << una
            << QStringList{"<Causale>Consegna Sede:   </Causale>"} << QStringList{}
            << QStringList{};
        QTest::newRow("consegna tagliata")
            << R << Valori{{"dest_soc", " Neg\t"}, {"dest_indir", ""}, {"dest_comune", " Roma "}}
            << una << QStringList{"<Causale>Consegna Sede: Neg  Roma</Causale>"} << QStringList{}
            << QStringList{};
        QTest::newRow("sconto documento 0,00")
            << R << Valori{{"sc_tipo", "SC"}, {"sc_perc", "0,00"}} << una << QStringList{}
            << QStringList{"<ScontoMaggiorazione>"} << QStringList{};
        QTest::newRow("sconto documento 5,5")
            << R << Valori{{"sc_tipo", "MG"}, {"sc_perc", "5,5"}} << una
            << QStringList{"<Numero>50</Numero>\r\n<ScontoMaggiorazione>\r\n<Tipo>MG</Tipo>\r\n"
                           "<Percentuale>5.50</Percentuale>\r\n</ScontoMaggiorazione>\r\n"
                           "<ImportoTotaleDocumento>"}
            << QStringList{} << QStringList{};
        QTest::newRow("quantita 0,00")
            << R << Valori{} << Righe{{{"quantita", "0,00"}}}
            << QStringList{"<Descrizione>Articolo</Descrizione>\r\n<UnitaMisura>PZ</UnitaMisura>"}
            << QStringList{"<Quantita>"} << QStringList{};
        QTest::newRow("quantita 2, um vuota")
            << R << Valori{} << Righe{{{"quantita", "2"}, {"prezzo_unit", "50"}, {"um", ""}}}
            << QStringList{"<Quantita>2.00</Quantita>\r\n<PrezzoUnitario>50.0000</PrezzoUnitario>"}
            << QStringList{"<UnitaMisura>"} << QStringList{};
        QTest::newRow("sconto riga senza percentuale")
            << R << Valori{}
            << Righe{{{"quantita", "2"},
                      {"prezzo_unit", "55"},
                      {"sc_tipo", "SC"},
                      {"sc_importo", "10,00"}}}
            << QStringList{"<NumeroLinea>1</NumeroLinea>\r\n<TipoCessionePrestazione>SC<",
                           "<PrezzoUnitario>55.0000</PrezzoUnitario>\r\n<ScontoMaggiorazione>\r\n"
                           "<Tipo>SC</Tipo>\r\n<Importo>5.00</Importo>\r\n</ScontoMaggiorazione>"}
            << QStringList{"<Percentuale>"} << QStringList{};
        QTest::newRow("maggiorazione: tipo di cessione SC")
            << R << Valori{}
            << Righe{{{"quantita", "2"},
                      {"prezzo_unit", "45"},
                      {"sc_tipo", "MG"},
                      {"sc_perc", "11,111"},
                      {"sc_importo", "10"}}}
            << QStringList{"<TipoCessionePrestazione>SC</TipoCessionePrestazione>",
                           "<Tipo>MG</Tipo>\r\n<Percentuale>11.11</Percentuale>\r\n"
                           "<Importo>5.00</Importo>"}
            << QStringList{} << QStringList{};
        QTest::newRow("spese 0,00 e arrotondamento negativo")
            << R << Valori{{"spese", "0,00"}, {"arrot", "-0,01"}} << una << QStringList{}
            << QStringList{"<SpeseAccessorie>", "<Arrotondamento>"} << QStringList{};
        QTest::newRow("spese positive, arrotondamento sotto il centesimo")
            << R << Valori{{"spese", "2,5"}, {"arrot", "0,004"}, {"spese2", "7"}} << una
            << QStringList{"<AliquotaIVA>22.00</AliquotaIVA>\r\n<SpeseAccessorie>2.50"
                           "</SpeseAccessorie>\r\n<ImponibileImporto>"}
            << QStringList{"<Arrotondamento>", "7.00"} << QStringList{};
        QTest::newRow("natura senza esigibilita")
            << R << Valori{{"aliquota", "0"}, {"natura", "N2.2"}, {"imposta", "0"}}
            << Righe{{{"aliquota", "0"}, {"natura", "N2.2"}}}
            << QStringList{"<Natura>N2.2</Natura>\r\n</DettaglioLinee>",
                           "<Natura>N2.2</Natura>\r\n<ImponibileImporto>100.00</ImponibileImporto>"
                           "\r\n<Imposta>0.00</Imposta>\r\n</DatiRiepilogo>"}
            << QStringList{"<EsigibilitaIVA>"} << QStringList{};
        QTest::newRow("natura N2, rifiutata dal 2021")
            << R << Valori{{"aliquota", "0"}, {"natura", "N2"}, {"imposta", "0"}}
            << Righe{{{"aliquota", "0"}, {"natura", "N2"}}}
            << QStringList{"<Natura>N2</Natura>\r\n<ImponibileImporto>"}
            << QStringList{"<EsigibilitaIVA>"} << QStringList{"00445", "00445"};
        QTest::newRow("esigibilita immediata")
            << R << Valori{{"esig_iva", "I"}} << una
            << QStringList{"<Imposta>22.00</Imposta>\r\n<EsigibilitaIVA>I</EsigibilitaIVA>"}
            << QStringList{} << QStringList{};
        QTest::newRow("FPA12 esigibilita sempre S")
            << A << (pa | Valori{{"esig_iva", "D"}}) << una
            << QStringList{"<Imposta>22.00</Imposta>\r\n<EsigibilitaIVA>S</EsigibilitaIVA>"}
            << QStringList{"<EsigibilitaIVA>D"} << QStringList{};
        QTest::newRow("quarto riepilogo senza spese")
            << R << Valori{{"imponibile", "50,00"},  {"imposta", "11,00"}, {"aliquota4", "4"},
                           {"imponibile4", "50,00"}, {"imposta4", "2,00"}, {"esig_iva4", "I"},
                           {"spese3", "9"},          {"tot_doc", "113,00"}}
            << Righe{{{"prezzo_unit", "50"}, {"prezzo_tot", "50"}},
                     {{"prezzo_unit", "50"}, {"prezzo_tot", "50"}, {"aliquota", "4"}}}
            << QStringList{"<NumeroLinea>2</NumeroLinea>",
                           "<DatiRiepilogo>\r\n<AliquotaIVA>4.00</AliquotaIVA>\r\n"
                           "<ImponibileImporto>50.00</ImponibileImporto>\r\n<Imposta>2.00</Imposta>"
                           "\r\n<EsigibilitaIVA>I</EsigibilitaIVA>\r\n</DatiRiepilogo>\r\n"
                           "</DatiBeniServizi>"}
            << QStringList{"<SpeseAccessorie>"} << QStringList{};
        QTest::newRow("MP01 senza pagamento")
            << R << Valori{{"mod_pag", "MP01"}} << una << QStringList{}
            << QStringList{"<DatiPagamento>"} << QStringList{};
        QTest::newRow("mp05 minuscolo senza pagamento")
            << R << Valori{{"mod_pag", "mp05"}} << una << QStringList{}
            << QStringList{"<DatiPagamento>"} << QStringList{};
        QTest::newRow("MP05 rata unica")
            << R << Valori{{"mod_pag", "MP05"}, {"n_rate", "0"}, {"tot_doc", "1220,00"}} << una
            << QStringList{"<ImportoPagamento>1220.00</ImportoPagamento>\r\n"
                           "<IBAN>IT60X0542811101000000123456</IBAN>\r\n</DettaglioPagamento>\r\n"
                           "</DatiPagamento>"}
            << QStringList{} << QStringList{};
        // All the instalments, one after the other, and nothing else.
        const QString rata = "<DettaglioPagamento>\r\n<Beneficiario>Rossi - Forniture S.r.l."
                             "</Beneficiario>\r\n<ModalitaPagamento>MP05</ModalitaPagamento>\r\n"
                             "<ImportoPagamento>%1</ImportoPagamento>\r\n<IBAN>"
                             "IT60X0542811101000000123456</IBAN>\r\n</DettaglioPagamento>\r\n";
        const QString termini = "<CondizioniPagamento>TP02</CondizioniPagamento>\r\n";
        QTest::newRow("MP05 tre rate")
            << R << Valori{{"mod_pag", "MP05"}, {"n_rate", "3"}, {"tot_doc", "100,00"}} << una
            << QStringList{termini + rata.arg("33.33").repeated(3) + "</DatiPagamento>"}
            << QStringList{} << QStringList{};
        QTest::newRow("MP05 due rate al centesimo")
            << R << Valori{{"mod_pag", "MP05"}, {"n_rate", "2"}, {"tot_doc", "0,05"}} << una
            << QStringList{termini + rata.arg("0.03").repeated(2) + "</DatiPagamento>"}
            << QStringList{} << QStringList{};
        QTest::newRow("MP05 rate negative")
            << R << Valori{{"mod_pag", "MP05"}, {"n_rate", "-1"}} << una
            << QStringList{"<CondizioniPagamento>TP02</CondizioniPagamento>\r\n</DatiPagamento>"}
            << QStringList{"<DettaglioPagamento>"} << QStringList{"00200"};
        QTest::newRow("descrizione codificata")
            << R << Valori{} << Righe{{{"descrizione", "Tubo - 3/4"}}}
            << QStringList{"<Descrizione>Tubo &#45; 3&#47;4</Descrizione>"} << QStringList{}
            << QStringList{};
        QTest::newRow("FPA12 descrizione come memorizzata")
            << A << pa << Righe{{{"descrizione", "Tubo - 3/4"}}}
            << QStringList{"<Descrizione>Tubo - 3/4</Descrizione>"} << QStringList{}
            << QStringList{};
        QTest::newRow("lotto null")
            << R << Valori{} << Righe{{{"categoria", "C"}, {"lotto", nessuno}, {"origine", ""}}}
            << QStringList{"<TipoDato>Categoria</TipoDato>\r\n<RiferimentoTesto>C</"
                           "RiferimentoTesto>"}
            << QStringList{"Lotto", "Origine"} << QStringList{};
        QTest::newRow("FPA12 lotto null")
            << A << pa << Righe{{{"categoria", nessuno}, {"lotto", nessuno}, {"origine", " X "}}}
            << QStringList{"<TipoDato>Origine</TipoDato>\r\n<RiferimentoTesto> X "
                           "</RiferimentoTesto>"}
            << QStringList{"Lotto", "Categoria"} << QStringList{};
        QTest::newRow("FPA12 pagamento MP05 anche con MP01 e tre rate")
            << A << (pa | Valori{{"mod_pag", "MP01"}, {"n_rate", "3"}}) << una
            << QStringList{"<DatiPagamento>\r\n<CondizioniPagamento>TP02</CondizioniPagamento>\r\n"
                           "<DettaglioPagamento>\r\n<Beneficiario>Rossi - Forniture S.r.l."
                           "</Beneficiario>\r\n<ModalitaPagamento>MP05</ModalitaPagamento>\r\n"
                           "<ImportoPagamento>100.00</ImportoPagamento>\r\n<IBAN>"
                           "IT60X0542811101000000123456</IBAN>\r\n</DettaglioPagamento>\r\n"
                           "</DatiPagamento>\r\n</FatturaElettronicaBody>"}
            << QStringList{} << QStringList{};
        QTest::newRow("FPA12 somma degli imponibili 150.50")
            << A
            << (pa | Valori{{"tot_doc", "177,55"},
                            {"aliquota2", "10"},
                            {"imponibile2", "50,50"},
                            {"imposta2", "5,05"}})
            << Righe{{}, {{"prezzo_unit", "50,5"}, {"prezzo_tot", "50,50"}, {"aliquota", "10"}}}
            << QStringList{"<ImportoTotaleDocumento>177.55</ImportoTotaleDocumento>",
                           "<ImportoPagamento>150.50</ImportoPagamento>"}
            << QStringList{} << QStringList{};
        QTest::newRow("FPA12 destinatario vuoto, senza PEC")
            << A << Valori{{"cod_dest", ""}, {"pec", ""}} << una
            << QStringList{"<FormatoTrasmissione>FPA12</FormatoTrasmissione>\r\n"
                           "<CodiceDestinatario></CodiceDestinatario>\r\n<ContattiTrasmittente>"}
            << QStringList{"<PECDestinatario>"} << QStringList{"00200"};
        QTest::newRow("FPA12 partita IVA senza codice fiscale")
            << A << (pa | Valori{{"cod_fis", ""}}) << una
            << QStringList{"<CessionarioCommittente>\r\n<DatiAnagrafici>\r\n<Anagrafica>"}
            << QStringList{"<IdCodice>0987"} << QStringList{"00417"};
        QTest::newRow("PEC") << R << Valori{{"cod_dest", "0000000"}, {"pec", "a@pec.it"}} << una
                             << QStringList{"</ContattiTrasmittente>\r\n<PECDestinatario>a@pec.it"
                                            "</PECDestinatario>\r\n</DatiTrasmissione>"}
                             << QStringList{} << QStringList{};
    }
    void regole() {
        QFETCH(FormatoFatturaPA, formato);
        QFETCH(Valori, testata);
        QFETCH(Righe, righe);
        QFETCH(QStringList, presenti);
        QFETCH(QStringList, assenti);
        QFETCH(QStringList, problemi);
        preparaBase(testata, righe);
        const QString percorso = prova.scrivi(50, formato);
        const QString testo = QString::fromUtf8(ProvaXml::leggi(percorso));
        for (const QString& p : presenti)
            QVERIFY2(testo.contains(p), qPrintable("manca: " + p + "\n" + testo));
        for (const QString& a : assenti)
            QVERIFY2(!testo.contains(a), qPrintable("di troppo: " + a + "\n" + testo));
        QCOMPARE(ProvaXml::problemi(percorso), problemi);
    }

    void fatturaSenzaRighe() {
        TestDb::esegui(prova.database(), {"DELETE FROM testata WHERE id_invio = 50",
                                          "DELETE FROM dettaglio WHERE id_invio = 50"});
        prova.fattura(50, {{"mod_pag", "MP05"}});
        const QString percorso = prova.scrivi(50, FormatoFatturaPA::FPR12);
        const QString testo = QString::fromUtf8(ProvaXml::leggi(percorso));
        QVERIFY(testo.contains("<DatiBeniServizi>\r\n<DatiRiepilogo>\r\n"));
        QVERIFY(testo.contains("</DatiPagamento>\r\n</FatturaElettronicaBody>\r\n"
                               "</p:FatturaElettronica>\r\n"));
        QVERIFY(!testo.contains("<DettaglioLinee>"));
        // The schema wants at least one line.
        QCOMPARE(ProvaXml::problemi(percorso), QStringList{"00200"});
    }

    void progressivoENome_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("titolo");
        QTest::addColumn<QString>("progressivo");
        const auto riga = [](const char* regola, int id, const char* titolo, const char* atteso) {
            QTest::newRow(regola) << id << QString(titolo) << QString(atteso);
        };
        riga("sotto 10000: A e quattro cifre", 42, "FATTURE", "A0042");
        riga("titolo A: serie con lo 0", 42, "A", "00042");
        riga("titolo a minuscolo: serie A", 42, "a", "A0042");
        riga("titolo A seguito da blank: serie A", 42, "A ", "A0042");
        riga("titolo A preceduto da blank: serie A", 42, " A", "A0042");
        riga("titolo vuoto: serie A", 42, "", "A0042");
        riga("9999, l'ultimo senza sottrazione", 9999, "FATTURE", "A9999");
        riga("da 10000 si sottrae 9999", 10000, "FATTURE", "A0001");
        riga("10041 come 42, serie con lo 0", 10041, "A", "00042");
        riga("19998 di nuovo 9999", 19998, "FATTURE", "A9999");
        riga("20000 in sei caratteri", 20000, "FATTURE", "A10001");
    }
    void progressivoENome() {
        QFETCH(int, id);
        QFETCH(QString, titolo);
        QFETCH(QString, progressivo);
        const QString nome = "IT01234567897_" + progressivo + ".xml";
        const QString seleziona =
            QStringLiteral("SELECT nome_file FROM testata WHERE id_invio = %1");
        TestDb::esegui(prova.database(), {"UPDATE testata SET nome_file = NULL"});
        if (prova.valore(
                QStringLiteral("SELECT COUNT(*) FROM testata WHERE id_invio = %1").arg(id)) ==
            "0") {
            prova.fattura(id);
            prova.riga(id, 1);
        }
        const QString percorso = prova.scrivi(id, FormatoFatturaPA::FPR12, titolo);
        QCOMPARE(percorso, prova.file(nome));
        QCOMPARE(prova.valore(seleziona.arg(id)), nome);
        QVERIFY(ProvaXml::leggi(percorso).contains("<ProgressivoInvio>" + progressivo.toLatin1() +
                                                   "</ProgressivoInvio>"));
        // Six characters are more than the exchange system takes.
        const QStringList attesi = progressivo.size() > 5 ? QStringList{"00001"} : QStringList{};
        QCOMPARE(ProvaXml::problemi(percorso), attesi);
    }
};

QTEST_GUILESS_MAIN(TstCreaXml)
#include "tst_creaxml.moc"
