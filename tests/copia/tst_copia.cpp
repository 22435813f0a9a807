#include "LetturaPdf.h"
#include "copia/Allegati.h"
#include "copia/Codici.h"
#include "copia/Copia.h"
#include "copia/CopiaHtml.h"
#include "copia/CopiaPdf.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString kSorgenti = QStringLiteral(GFE_SOURCE_DIR);

QByteArray leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void scrivi(const QString& percorso, const QByteArray& dati) {
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(dati);
}

// A FatturaPA document around the given bodies.
QByteArray documento(const QByteArray& corpi, const QByteArray& intestazioneExtra = {}) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<p:FatturaElettronica versione=\"FPR12\" "
           "xmlns:p=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\">\n"
           "<FatturaElettronicaHeader>\n"
           "<DatiTrasmissione><IdTrasmittente><IdPaese>IT</IdPaese><IdCodice>01234567897</"
           "IdCodice></IdTrasmittente>\n"
           "<ProgressivoInvio>00042</ProgressivoInvio><FormatoTrasmissione>FPR12</"
           "FormatoTrasmissione>\n"
           "<CodiceDestinatario>ABC1234</"
           "CodiceDestinatario><PECDestinatario>cliente@pec.example.it</PECDestinatario></"
           "DatiTrasmissione>\n"
           "<CedentePrestatore><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</"
           "IdPaese><IdCodice>01234567897</IdCodice></IdFiscaleIVA>\n"
           "<CodiceFiscale>01234567897</CodiceFiscale><Anagrafica><Denominazione>VENDITORE &amp; "
           "FIGLI SRL</Denominazione></Anagrafica>\n"
           "<RegimeFiscale>RF01</RegimeFiscale></DatiAnagrafici>\n"
           "<Sede><Indirizzo>Via "
           "Roma</Indirizzo><NumeroCivico>1</NumeroCivico><CAP>37100</CAP><Comune>Verona</"
           "Comune><Provincia>VR</Provincia><Nazione>IT</Nazione></Sede>\n"
           "<IscrizioneREA><Ufficio>VR</Ufficio><NumeroREA>123456</"
           "NumeroREA><CapitaleSociale>10000.00</CapitaleSociale><SocioUnico>SU</"
           "SocioUnico><StatoLiquidazione>LN</StatoLiquidazione></IscrizioneREA>\n"
           "<Contatti><Telefono>045123456</Telefono><Email>info@venditore.example.it</Email></"
           "Contatti></CedentePrestatore>\n"
           "<CessionarioCommittente><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</"
           "IdPaese><IdCodice>09876543210</IdCodice></IdFiscaleIVA>\n"
           "<CodiceFiscale>RSSMRA70A01L781X</CodiceFiscale><Anagrafica><Nome>Mario</"
           "Nome><Cognome>Rossi</Cognome></Anagrafica></DatiAnagrafici>\n"
           "<Sede><Indirizzo>Corso Milano "
           "5</Indirizzo><CAP>20100</CAP><Comune>Milano</Comune><Provincia>MI</"
           "Provincia><Nazione>IT</Nazione></Sede></CessionarioCommittente>\n"
           "" +
           intestazioneExtra + "</FatturaElettronicaHeader>\n" + corpi +
           "</p:FatturaElettronica>\n";
}

QByteArray riga(int n, const QByteArray& descrizione, const QByteArray& extra = {}) {
    return "<DettaglioLinee><NumeroLinea>" + QByteArray::number(n) +
           "</NumeroLinea><CodiceArticolo><CodiceTipo>EAN</CodiceTipo><CodiceValore>ART" +
           QByteArray::number(n) + "</CodiceValore></CodiceArticolo><Descrizione>" + descrizione +
           "</Descrizione><Quantita>2.00</Quantita><UnitaMisura>PZ</UnitaMisura>"
           "<PrezzoUnitario>617.28</PrezzoUnitario>" +
           extra +
           "<PrezzoTotale>1234.56</PrezzoTotale><AliquotaIVA>22.00</AliquotaIVA></DettaglioLinee>";
}

QByteArray corpo(const QByteArray& tipo, const QByteArray& numero, const QByteArray& righe,
                 const QByteArray& generaliExtra = {}, const QByteArray& coda = {}) {
    return "<FatturaElettronicaBody><DatiGenerali><DatiGeneraliDocumento><TipoDocumento>" + tipo +
           "</TipoDocumento><Divisa>EUR</Divisa><Data>2026-03-05</Data><Numero>" + numero +
           "</Numero>" + generaliExtra +
           "<ImportoTotaleDocumento>1506.16</ImportoTotaleDocumento></DatiGeneraliDocumento>"
           "</DatiGenerali><DatiBeniServizi>" +
           righe +
           "<DatiRiepilogo><AliquotaIVA>22.00</AliquotaIVA><ImponibileImporto>1234.56</"
           "ImponibileImporto><Imposta>271.60</Imposta><EsigibilitaIVA>I</EsigibilitaIVA></"
           "DatiRiepilogo></DatiBeniServizi>" +
           coda + "</FatturaElettronicaBody>\n";
}

// Every element a reader looks for, once.
QByteArray documentoCompleto() {
    const QByteArray generali =
        "<DatiRitenuta><TipoRitenuta>RT01</TipoRitenuta><ImportoRitenuta>50.00</ImportoRitenuta>"
        "<AliquotaRitenuta>20.00</AliquotaRitenuta><CausalePagamento>A</CausalePagamento></"
        "DatiRitenuta>"
        "<DatiBollo><BolloVirtuale>SI</BolloVirtuale><ImportoBollo>2.00</ImportoBollo></DatiBollo>"
        "<DatiCassaPrevidenziale><TipoCassa>TC22</TipoCassa><AlCassa>4.00</AlCassa>"
        "<ImportoContributoCassa>10.00</ImportoContributoCassa><ImponibileCassa>250.00</"
        "ImponibileCassa>"
        "<AliquotaIVA>22.00</AliquotaIVA></DatiCassaPrevidenziale>"
        "<ScontoMaggiorazione><Tipo>SC</Tipo><Percentuale>5.00</Percentuale></ScontoMaggiorazione>"
        "<Causale>Fornitura di marzo &lt;b&gt;urgente&lt;/b&gt;</Causale>";
    const QByteArray riferimenti =
        "<DatiOrdineAcquisto><RiferimentoNumeroLinea>1</"
        "RiferimentoNumeroLinea><IdDocumento>ORD-77</IdDocumento>"
        "<Data>2026-02-01</Data><CodiceCUP>CUP123</CodiceCUP><CodiceCIG>CIG456</CodiceCIG></"
        "DatiOrdineAcquisto>"
        "<DatiContratto><IdDocumento>CTR-9</IdDocumento></DatiContratto>"
        "<DatiConvenzione><IdDocumento>CONV-3</IdDocumento></DatiConvenzione>"
        "<DatiRicezione><IdDocumento>RIC-5</IdDocumento></DatiRicezione>"
        "<DatiFattureCollegate><IdDocumento>FT-100</IdDocumento><Data>2026-01-15</Data></"
        "DatiFattureCollegate>"
        "<DatiDDT><NumeroDDT>DDT-12</NumeroDDT><DataDDT>2026-03-01</"
        "DataDDT><RiferimentoNumeroLinea>1</RiferimentoNumeroLinea></DatiDDT>"
        "<DatiTrasporto><MezzoTrasporto>Furgone</MezzoTrasporto><CausaleTrasporto>Vendita</"
        "CausaleTrasporto>"
        "<NumeroColli>3</NumeroColli><PesoLordo>12.50</PesoLordo><DataInizioTrasporto>2026-03-02</"
        "DataInizioTrasporto></DatiTrasporto>";
    QByteArray righe = riga(1, "Consulenza tecnica");
    righe += riga(2, "Servizio esente",
                  "<ScontoMaggiorazione><Tipo>SC</Tipo><Percentuale>10.00</Percentuale></"
                  "ScontoMaggiorazione>");
    righe.replace(
        "<AliquotaIVA>22.00</AliquotaIVA></DettaglioLinee><DettaglioLinee><NumeroLinea>2",
        "<AliquotaIVA>22.00</AliquotaIVA></DettaglioLinee><DettaglioLinee><NumeroLinea>2");
    const QByteArray riepilogoExtra =
        "<DatiRiepilogo><AliquotaIVA>0.00</AliquotaIVA><Natura>N3.1</"
        "Natura><ImponibileImporto>100.00</ImponibileImporto>"
        "<Imposta>0.00</Imposta><RiferimentoNormativo>Non imponibile art. "
        "8</RiferimentoNormativo></DatiRiepilogo>"
        "<DatiRiepilogo><AliquotaIVA>10.00</AliquotaIVA><ImponibileImporto>50.00</"
        "ImponibileImporto>"
        "<Imposta>5.00</Imposta><EsigibilitaIVA>S</EsigibilitaIVA></DatiRiepilogo>";
    const QByteArray pagamento =
        "<DatiPagamento><CondizioniPagamento>TP01</CondizioniPagamento>"
        "<DettaglioPagamento><ModalitaPagamento>MP05</"
        "ModalitaPagamento><DataScadenzaPagamento>2026-04-30</DataScadenzaPagamento>"
        "<ImportoPagamento>753.08</ImportoPagamento><IstitutoFinanziario>Banca "
        "Esempio</IstitutoFinanziario>"
        "<IBAN>IT60X0542811101000000123456</IBAN></DettaglioPagamento>"
        "<DettaglioPagamento><ModalitaPagamento>MP12</"
        "ModalitaPagamento><DataScadenzaPagamento>2026-05-31</DataScadenzaPagamento>"
        "<ImportoPagamento>753.08</ImportoPagamento></DettaglioPagamento></DatiPagamento>"
        "<Allegati><NomeAttachment>../../documenti/ordine.pdf</"
        "NomeAttachment><FormatoAttachment>PDF</FormatoAttachment>"
        "<DescrizioneAttachment>Copia dell'ordine</DescrizioneAttachment><Attachment>" +
        QByteArray("ordine firmato\x00\xff", 16).toBase64() + "</Attachment></Allegati>";
    QByteArray c = corpo("TD04", "NC/7", righe, generali, pagamento);
    c.replace("</DatiGenerali>", riferimenti + "</DatiGenerali>");
    c.replace("</DatiBeniServizi>", riepilogoExtra + "</DatiBeniServizi>");
    const QByteArray terzo =
        "<TerzoIntermediarioOSoggettoEmittente><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</IdPaese>"
        "<IdCodice>05555555555</IdCodice></IdFiscaleIVA><Anagrafica><Denominazione>STUDIO "
        "INTERMEDIARIO</Denominazione>"
        "</Anagrafica></DatiAnagrafici></"
        "TerzoIntermediarioOSoggettoEmittente><SoggettoEmittente>TZ</SoggettoEmittente>";
    return documento(c, terzo);
}

// The words of the PDF in reading order, blanks normalised.
QString testoPdf(const LetturaPdf& pdf) {
    QStringList pagine;
    for (int p = 1; p <= pdf.pagine(); ++p)
        pagine << pdf.testo(p);
    return pagine.join(QLatin1Char(' '));
}

QString normale(QString s) {
    return s.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

} // namespace

class TestCopia : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // The copy of the bytes as PDF, read back.
    LetturaPdf pdf(const Copia& copia, const QString& nome) {
        const QString percorso = m_dir.filePath(nome + QStringLiteral(".pdf"));
        pdfCopia(copia, percorso);
        return LetturaPdf(percorso);
    }

    static void nelleCornici(const LetturaPdf& letto) {
        for (const Parola& p : letto.parole()) {
            QVERIFY2(
                p.area.left() >= 11.5 && p.area.right() <= 198.5 && p.area.bottom() <= 290,
                qPrintable(
                    QStringLiteral("«%1» fuori pagina a pagina %2").arg(p.testo).arg(p.pagina)));
        }
    }

private slots:
    // Every code the schema of the same version enumerates has its meaning.
    void tabelleDeiCodiciCopronoLoSchema() {
        const QByteArray xsd =
            leggi(kSorgenti + QStringLiteral("/schemas/Schema_del_file_xml_FatturaPA_v1.2.2.xsd"));
        QVERIFY(!xsd.isEmpty());
        const QStringList tabelle{"FormatoTrasmissione",
                                  "TipoDocumento",
                                  "RegimeFiscale",
                                  "Natura",
                                  "EsigibilitaIVA",
                                  "CondizioniPagamento",
                                  "ModalitaPagamento",
                                  "TipoRitenuta",
                                  "TipoCassa",
                                  "CausalePagamento",
                                  "TipoScontoMaggiorazione",
                                  "TipoCessionePrestazione",
                                  "SoggettoEmittente",
                                  "SocioUnico",
                                  "StatoLiquidazione"};
        const Codici& codici = Codici::fatturaPA();
        QXmlStreamReader r(xsd);
        QString tipo;
        int controllati = 0;
        while (!r.atEnd()) {
            r.readNext();
            if (!r.isStartElement()) continue;
            if (r.name() == QLatin1String("simpleType"))
                tipo = r.attributes().value(QLatin1String("name")).toString().chopped(4);
            if (r.name() == QLatin1String("enumeration") && tabelle.contains(tipo)) {
                const QString codice = r.attributes().value(QLatin1String("value")).toString();
                QVERIFY2(codici.contiene(tipo, codice),
                         qPrintable(tipo + QLatin1Char(' ') + codice));
                ++controllati;
            }
        }
        QVERIFY(controllati > 150);
        for (const QString& n : codici.codici(QStringLiteral("Natura")))
            if (n != QLatin1String("N2.2") &&
                (n.size() > 2 || n == QLatin1String("N1") || n == QLatin1String("N4")))
                QVERIFY2(!codici.codice(QStringLiteral("Natura"), n).riferimento.isEmpty(),
                         qPrintable(n));
        QCOMPARE(codici.conSignificato(QStringLiteral("TipoDocumento"), QStringLiteral("TD24")),
                 QStringLiteral("TD24 - Fattura differita"));
        QCOMPARE(codici.conSignificato(QStringLiteral("TipoDocumento"), QStringLiteral("TD99")),
                 QStringLiteral("TD99"));
    }

    // The project's samples and the writer's files: every line's description, the
    // number, the total, both parties in the HTML and in the PDF, fonts embedded.
    void campioni_data() {
        QTest::addColumn<QString>("percorso");
        QStringList cartelle{QStringLiteral("/demo/ricevute"),
                             QStringLiteral("/tests/purchases/campioni"),
                             QStringLiteral("/tests/fatturapa/golden")};
        for (const QString& c : cartelle)
            for (const QFileInfo& f : QDir(kSorgenti + c).entryInfoList(QDir::Files))
                QTest::newRow(qPrintable(f.fileName())) << f.absoluteFilePath();
    }
    void campioni() {
        QFETCH(QString, percorso);
        const EsitoCopia esito = leggiCopiaFile(percorso);
        QVERIFY2(esito.riuscita(), qPrintable(esito.errore));
        QVERIFY(!esito.copia.documenti.isEmpty());
        const QString html = QString::fromUtf8(copiaHtml(esito.copia));
        const LetturaPdf letto = pdf(esito.copia, QFileInfo(percorso).fileName());
        QVERIFY2(letto.pagine() >= 1, qPrintable(letto.errore()));
        const QString testo = normale(testoPdf(letto));
        QRegularExpression descrizione(QStringLiteral("<Descrizione>([^<]*)</Descrizione>"));
        QString xml = QString::fromUtf8(leggi(percorso));
        if (percorso.endsWith(QLatin1String(".p7m"))) {
            QVERIFY(esito.copia.firma.contains(QLatin1String("Firma")));
            QVERIFY(testo.contains(QLatin1String("Firma")));
        }
        for (const DocumentoCopia& d : esito.copia.documenti) {
            QVERIFY(testo.contains(normale(d.titolo)));
            QVERIFY(html.contains(d.titolo.toHtmlEscaped()));
            QVERIFY(!d.totale.isEmpty());
            QVERIFY2(testo.contains(d.totale), qPrintable(d.totale));
            for (const Sezione& s : d.sezioni) {
                if (s.titolo != QLatin1String("Dettaglio delle righe")) continue;
                QVERIFY(!s.righe.isEmpty());
                for (const QStringList& r : s.righe) {
                    const QString prima = r[2].section(QLatin1Char('\n'), 0, 0);
                    QVERIFY2(testo.contains(normale(prima)), qPrintable(prima));
                    QVERIFY(html.contains(prima.toHtmlEscaped()));
                }
            }
        }
        for (const QString& parte :
             {QStringLiteral("Cedente/prestatore"), QStringLiteral("Cessionario/committente"),
              QStringLiteral("Riepilogo IVA"), QStringLiteral("Pag. 1 di")})
            QVERIFY2(testo.contains(parte), qPrintable(parte));
        for (const QString& f : letto.caratteri())
            QVERIFY2(f.contains(QLatin1String("yes")), qPrintable(f));
        QVERIFY(letto.caratteri().join(QString()).contains(QLatin1String("Liberation")));
        nelleCornici(letto);
        Q_UNUSED(xml);
    }

    // Item by item what a bookkeeper reads, in words, Italian amounts and dates.
    void ogniElementoDelDocumento() {
        const EsitoCopia esito = leggiCopia(documentoCompleto(), QStringLiteral("completo.xml"));
        QVERIFY2(esito.riuscita(), qPrintable(esito.errore));
        const LetturaPdf letto = pdf(esito.copia, QStringLiteral("completo"));
        const QString testo = normale(testoPdf(letto));
        const QString html = QString::fromUtf8(copiaHtml(esito.copia));
        const QStringList attesi{"Nota di credito n. NC/7 del 05/03/2026",
                                 "TD04 - Nota di credito",
                                 "VENDITORE & FIGLI SRL",
                                 "IT01234567897",
                                 "RF01 - Regime ordinario",
                                 "Via Roma 1",
                                 "37100 Verona (VR) IT",
                                 "VR 123456",
                                 "10.000,00",
                                 "Socio unico",
                                 "Mario Rossi",
                                 "RSSMRA70A01L781X",
                                 "ABC1234",
                                 "cliente@pec.example.it",
                                 "STUDIO INTERMEDIARIO",
                                 "Terzo",
                                 "00042",
                                 "FPR12 - Fattura verso privati",
                                 "Fornitura di marzo <b>urgente</b>",
                                 "RT01 - Ritenuta di acconto persone fisiche",
                                 "20,00%",
                                 "50,00",
                                 "Bollo virtuale, 2,00",
                                 "TC22 - INPS",
                                 "250,00",
                                 "Sconto 5,00%",
                                 "ORD-77",
                                 "01/02/2026",
                                 "CUP123",
                                 "CIG456",
                                 "Contratto",
                                 "CTR-9",
                                 "Convenzione",
                                 "CONV-3",
                                 "Ricezione",
                                 "RIC-5",
                                 "Fattura collegata",
                                 "FT-100",
                                 "DDT-12",
                                 "01/03/2026",
                                 "Furgone",
                                 "12,50",
                                 "02/03/2026",
                                 "Consulenza tecnica",
                                 "EAN: ART1",
                                 "1.234,56",
                                 "617,28",
                                 "Sconto 10,00%",
                                 "N3.1 - Non imponibili: esportazioni (art. 8 D.P.R. 633/1972)",
                                 "Non imponibile art. 8",
                                 "Scissione dei pagamenti",
                                 "art. 17-ter D.P.R. 633/1972",
                                 "TP01 - Pagamento a rate",
                                 "MP05 - Bonifico",
                                 "30/04/2026",
                                 "753,08",
                                 "IT60X0542811101000000123456",
                                 "Banca Esempio",
                                 "MP12 - Ricevuta bancaria (RIBA)",
                                 "ordine.pdf",
                                 "Copia dell'ordine",
                                 "Totale documento",
                                 "EUR 1.506,16"};
        for (const QString& a : attesi) {
            QVERIFY2(testo.contains(a), qPrintable(QStringLiteral("PDF senza «%1»").arg(a)));
            QVERIFY2(html.contains(a.toHtmlEscaped()),
                     qPrintable(QStringLiteral("HTML senza «%1»").arg(a)));
        }
        QCOMPARE(esito.copia.documenti[0].allegati.size(), 1);
        const Allegato& a = esito.copia.documenti[0].allegati[0];
        QCOMPARE(a.nomeFile, QStringLiteral("ordine.pdf"));
        QCOMPARE(a.dati, QByteArray("ordine firmato\x00\xff", 16));
        nelleCornici(letto);
    }

    // One document per body, each from a page of its own; page numbers count them all.
    void piuCorpi() {
        QByteArray corpi;
        for (int i = 1; i <= 3; ++i)
            corpi += corpo(i == 2 ? "TD24" : "TD01", "N" + QByteArray::number(i),
                           riga(1, "Articolo del documento " + QByteArray::number(i)));
        const EsitoCopia esito = leggiCopia(documento(corpi), QStringLiteral("tre.xml"));
        QVERIFY2(esito.riuscita(), qPrintable(esito.errore));
        QCOMPARE(esito.copia.documenti.size(), 3);
        QCOMPARE(esito.copia.documenti[1].tipo, QStringLiteral("Fattura differita"));
        const LetturaPdf letto = pdf(esito.copia, QStringLiteral("tre"));
        QCOMPARE(letto.pagine(), 3);
        for (int p = 1; p <= 3; ++p) {
            const QString t = normale(letto.testo(p));
            QVERIFY(t.contains(QStringLiteral("Articolo del documento %1").arg(p)));
            QVERIFY(t.contains(QStringLiteral("documento %1 di 3").arg(p)));
            QVERIFY(t.contains(QStringLiteral("Pag. %1 di 3").arg(p)));
        }
    }

    // A description of thousands of characters, with a word longer than its column,
    // is wrapped whole inside its column; a long table goes on over pages with its
    // heading repeated.
    void descrizioneLungaETabellaSuPiuPagine() {
        QByteArray lunga;
        for (int i = 0; i < 400; ++i)
            lunga += "parola" + QByteArray::number(i) + " ";
        lunga += QByteArray(300, 'X');
        QByteArray righe = riga(1, lunga);
        for (int i = 2; i <= 200; ++i)
            righe += riga(i, "Riga numero " + QByteArray::number(i));
        const EsitoCopia esito =
            leggiCopia(documento(corpo("TD01", "1", righe)), QStringLiteral("lunga.xml"));
        QVERIFY2(esito.riuscita(), qPrintable(esito.errore));
        const LetturaPdf letto = pdf(esito.copia, QStringLiteral("lunga"));
        QVERIFY(letto.pagine() >= 4);
        const QString testo = testoPdf(letto);
        for (int i = 0; i < 400; ++i)
            QVERIFY2(testo.contains(QStringLiteral("parola%1 ").arg(i)),
                     qPrintable(QString::number(i)));
        QString x;
        for (const Parola& p : letto.parole())
            if (p.testo.startsWith(QLatin1Char('X'))) x += p.testo;
        QCOMPARE(x, QString(300, QLatin1Char('X')));
        for (int i = 2; i <= 200; ++i)
            QVERIFY(testo.contains(QStringLiteral("Riga numero %1 ").arg(i)));
        for (int p = 2; p <= letto.pagine(); ++p) {
            const QString t = letto.testo(p);
            QVERIFY2(t.contains(QLatin1String("Descrizione")), qPrintable(QString::number(p)));
            QVERIFY(t.contains(QStringLiteral("Pag. %1 di %2").arg(p).arg(letto.pagine())));
        }
        QVERIFY(letto.testo(2).contains(QLatin1String("(segue)")));
        nelleCornici(letto);
    }

    // Hostile and broken files: refused with an Italian sentence naming the file,
    // markup shown as text, no entity expanded, nothing fetched.
    void fileOstili() {
        const QByteArray dtd =
            "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
            "<x>&e;</x>";
        EsitoCopia e = leggiCopia(dtd, QStringLiteral("dtd.xml"));
        QVERIFY(!e.riuscita());
        QVERIFY(e.errore.contains(QStringLiteral("«dtd.xml»")));
        QVERIFY(e.errore.contains(QLatin1String("DOCTYPE")));
        e = leggiCopia("non sono XML", QStringLiteral("testo.xml"));
        QVERIFY(e.errore.contains(QLatin1String("ben formato")));
        e = leggiCopia("<a xmlns=\"urn:x\"/>", QStringLiteral("altro.xml"));
        QVERIFY(e.errore.contains(QStringLiteral("non è una fattura elettronica FatturaPA")));
        e = leggiCopia("spazzatura", QStringLiteral("rotto.xml.p7m"));
        QVERIFY(!e.riuscita());
        QVERIFY(e.copia.documenti.isEmpty());

        const QString grande = m_dir.filePath(QStringLiteral("grande.xml"));
        {
            QFile f(grande);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(kMassimaDimensioneCopia + 1));
        }
        e = leggiCopiaFile(grande);
        QVERIFY(!e.riuscita());
        QVERIFY(!e.errore.isEmpty());

        const QByteArray script = documento(corpo(
            "TD01", "&lt;script&gt;alert(1)&lt;/script&gt;",
            riga(1, "&lt;img src=x onerror=alert(1)&gt; &lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;")));
        e = leggiCopia(script, QStringLiteral("script.xml"));
        QVERIFY2(e.riuscita(), qPrintable(e.errore));
        const QString html = QString::fromUtf8(copiaHtml(e.copia));
        QVERIFY(!html.contains(QLatin1String("<script")));
        QVERIFY(!html.contains(QLatin1String("<img")));
        QVERIFY(html.contains(QLatin1String("&lt;script&gt;alert(1)&lt;/script&gt;")));
        QVERIFY(html.contains(QLatin1String("&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;")));
        const QString testo = testoPdf(pdf(e.copia, QStringLiteral("script")));
        QVERIFY(testo.contains(QLatin1String("<script>alert(1)</script>")));
    }

    // Attachments keep their bytes, lose their folders and never replace a file or
    // follow a link in the chosen folder.
    void salvataggioAllegati() {
        QByteArray tutti;
        for (int i = 0; i < 256; ++i)
            tutti += char(i);
        QTemporaryDir dir;
        // Names are reduced when the file is read: check it through a document.
        QByteArray corpi =
            corpo("TD01", "1", riga(1, "x"), {},
                  "<Allegati><NomeAttachment>../../../tmp/x/../passwd</NomeAttachment>"
                  "<Attachment>" +
                      tutti.toBase64() +
                      "</Attachment></Allegati>"
                      "<Allegati><NomeAttachment>..\\dati\\ordine.bin</NomeAttachment>"
                      "<Attachment>" +
                      tutti.toBase64() +
                      "</Attachment></Allegati>"
                      "<Allegati><NomeAttachment>..</NomeAttachment>"
                      "<Attachment>QUJD</Attachment></Allegati>");
        const EsitoCopia e = leggiCopia(documento(corpi), QStringLiteral("allegati.xml"));
        QVERIFY2(e.riuscita(), qPrintable(e.errore));
        const QList<Allegato>& lista = e.copia.documenti[0].allegati;
        QCOMPARE(lista.size(), 3);
        QCOMPARE(lista[0].nomeFile, QStringLiteral("passwd"));
        QCOMPARE(lista[1].nomeFile, QStringLiteral("ordine.bin"));
        QCOMPARE(lista[2].nomeFile, QStringLiteral("allegato_3"));
        // A link already in the folder under that name is left alone.
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("bersaglio")),
                            dir.filePath(QStringLiteral("passwd"))));
        EsitoAllegati s = salvaAllegati(e.copia, dir.path());
        QVERIFY2(s.riuscito(), qPrintable(s.errore));
        QCOMPARE(s.salvati.size(), 3);
        QCOMPARE(QFileInfo(s.salvati[0]).fileName(), QStringLiteral("passwd (2)"));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("bersaglio"))));
        for (const QString& p : s.salvati)
            QCOMPARE(QFileInfo(p).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
        QCOMPARE(leggi(s.salvati[0]), tutti);
        QCOMPARE(leggi(s.salvati[1]), tutti);
        QCOMPARE(leggi(s.salvati[2]), QByteArray("ABC"));
        // A second save never replaces the first.
        s = salvaAllegati(e.copia, dir.path());
        QCOMPARE(QFileInfo(s.salvati[1]).fileName(), QStringLiteral("ordine (2).bin"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 7);
        QVERIFY(!salvaAllegati(e.copia, dir.filePath(QStringLiteral("manca"))).riuscito());
    }

    // gfe-batch copia: the written paths on standard output; a file that is not a
    // FatturaPA document gives exit 1 and a clear message, writing nothing.
    void comandoBatch() {
        QProcess p;
        const QString html = m_dir.filePath(QStringLiteral("batch.html"));
        const QString pdfFile = m_dir.filePath(QStringLiteral("batch.pdf"));
        p.start(QStringLiteral(GFE_BATCH),
                {QStringLiteral("copia"),
                 kSorgenti + QStringLiteral("/demo/ricevute/IT06789012345_PA001.xml"),
                 QStringLiteral("--html"), html, QStringLiteral("--pdf"), pdfFile});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput())
                     .split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 QStringList({html, pdfFile}));
        QVERIFY(LetturaPdf(pdfFile).pagine() >= 1);
        const QString falso = m_dir.filePath(QStringLiteral("falso.xml"));
        scrivi(falso, "<html><body>ciao</body></html>");
        const QString fuori = m_dir.filePath(QStringLiteral("fuori.pdf"));
        p.start(QStringLiteral(GFE_BATCH),
                {QStringLiteral("copia"), falso, QStringLiteral("--pdf"), fuori});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError())
                    .contains(QStringLiteral("«falso.xml» non è una fattura elettronica")));
        QVERIFY(!QFile::exists(fuori));
    }

    // The HTML as a person sees it: headless Chromium prints it, the text is there,
    // markup of the file shows as text.
    void paginaInChromium() {
        const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (chromium.isEmpty()) QSKIP("chromium non installato");
        const EsitoCopia e = leggiCopia(documentoCompleto(), QStringLiteral("completo.xml"));
        const QString html = m_dir.filePath(QStringLiteral("chromium.html"));
        scrivi(html, copiaHtml(e.copia));
        const QString stampato = m_dir.filePath(QStringLiteral("chromium.pdf"));
        QTemporaryDir profilo;
        QProcess p;
        p.start(
            chromium,
            {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
             QStringLiteral("--disable-gpu"), QStringLiteral("--disable-background-networking"),
             QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
             QStringLiteral("--no-first-run"), QStringLiteral("--user-data-dir=") + profilo.path(),
             QStringLiteral("--no-pdf-header-footer"), QStringLiteral("--print-to-pdf=") + stampato,
             QUrl::fromLocalFile(html).toString()});
        QVERIFY(p.waitForFinished(120000));
        const LetturaPdf letto(stampato);
        QVERIFY2(letto.pagine() >= 1, qPrintable(letto.errore()));
        const QString testo = normale(testoPdf(letto));
        for (const QString& a :
             {QStringLiteral("Nota di credito n. NC/7 del 05/03/2026"),
              QStringLiteral("Fornitura di marzo <b>urgente</b>"),
              QStringLiteral("IT60X0542811101000000123456"), QStringLiteral("Totale documento"),
              QStringLiteral("EUR 1.506,16")})
            QVERIFY2(testo.contains(a), qPrintable(a));
    }

    // The invoices received from others, when their folder is beside the project (or
    // named by GFE_FATTURE_RICEVUTE): each has its copy, the broken signed one is refused.
    void fattureRicevuteDaAltri() {
        QString cartella = qEnvironmentVariable("GFE_FATTURE_RICEVUTE");
        if (cartella.isEmpty()) cartella = QStringLiteral(GFE_SHARED_DIR "/fatturapa/received");
        const QFileInfoList file = QDir(cartella).entryInfoList(QDir::Files);
        if (file.isEmpty()) QSKIP("cartella delle fatture ricevute assente");
        for (const QFileInfo& f : file) {
            const EsitoCopia e = leggiCopiaFile(f.absoluteFilePath());
            if (f.fileName().contains(QLatin1String("fake"))) {
                QVERIFY(!e.riuscita());
                continue;
            }
            QVERIFY2(e.riuscita(), qPrintable(e.errore));
            const LetturaPdf letto = pdf(e.copia, f.fileName());
            QVERIFY2(letto.pagine() >= 1, qPrintable(f.fileName()));
            nelleCornici(letto);
            QVERIFY(!copiaHtml(e.copia).isEmpty());
        }
    }
};

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    TestCopia t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_copia.moc"
