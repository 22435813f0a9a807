#include "LetturaPdf.h"
#include "TestDb.h"
#include "data/TDiz.h"
#include "print/ErroreStampa.h"
#include "print/StampaFattura.h"
#include "print/TSt_Fatt.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// The printed sales and purchase invoices, written as PDF and read back word by word
// with their positions (millimetres from the sheet's corner: the bands start at the
// 10 mm margins).
class TstStampa : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_stampa");
    std::unique_ptr<TDiz> diz;
    QTemporaryDir dir;

    static QString testata(int id, const QString& dataDoc, const QString& imponibile,
                           const QString& imposta) {
        return QStringLiteral(
                   "INSERT INTO testata (id_invio, rag_soc, indirizzo, cap, comune, prov, p_iva, "
                   "num_doc, data_doc, tipo_doc, aliquota, imponibile, imposta, aliquota2, "
                   "imponibile2, imposta2, imponibile3, imposta3, tot_doc, normativa, normativa2, "
                   "colli) VALUES (%1, 'CLIENTE SPA', 'VIA VERDI 2', '20100', 'MILANO', 'MI', "
                   "'09876543217', '%1', '%2', 'TD01', '22', '%3', '%4', '10', '50,00', '5,00', "
                   "'', 'abc', '177,00', 'Art. 15 esclusi', 'Art. 10 esenti', '3')")
            .arg(id)
            .arg(dataDoc, imponibile, imposta);
    }

    static QString righe(int id, int n) {
        QStringList valori;
        for (int i = 1; i <= n; ++i)
            valori << QStringLiteral(
                          "(%1, %2, 'C%2', 'Articolo%2', '1,00', '10,000', '10,00', '22')")
                          .arg(id)
                          .arg(i);
        return "INSERT INTO dettaglio (id_invio, prog, codice_val, descrizione, quantita, "
               "prezzo_unit, prezzo_tot, aliquota) VALUES " +
               valori.join(", ");
    }

    void apri() {
        diz = std::make_unique<TDiz>();
        TestDb::punta(*diz->xml_conn, db);
        for (Table* t : diz->tabelleFatture())
            t->open();
    }

    LetturaPdf fattura(int id) {
        [&] { QVERIFY(diz->Testata->locate("id_invio", id)); }();
        const QString pdf = dir.filePath(QStringLiteral("f%1.pdf").arg(id));
        PdfFattura(diz->fattura(), pdf);
        return LetturaPdf(pdf);
    }

    // The one word of that text on that page.
    static Parola parola(const LetturaPdf& pdf, const QString& testo, int pagina = 1) {
        const QList<Parola> p = pdf.trova(testo, pagina);
        if (p.size() != 1)
            qWarning() << testo << "found" << p.size() << "times on page" << pagina << ":"
                       << pdf.testo(pagina);
        return p.value(0);
    }

    static bool vicino(double a, double b) { return qAbs(a - b) < 0.5; }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        TestDb::ricrea(db, {"xml_quirn.sql"});
        TestDb::esegui(
            db,
            {"INSERT INTO azienda (rag_soc, p_iva, cod_fis, indirizzo, cap, comune, prov, mail, "
             "telefono) VALUES ('ESEMPIO SRL', '01234567897', '01234567897', 'VIA ROMA 1', "
             "'37100', "
             "'VERONA', 'VR', 'amm@esempio.it', '045123456')",
             testata(15, "15/03/2023", "100,00", "22,00"), righe(15, 2),
             testata(16, "01/04/2023", "1.234,56", "271,60"), righe(16, 60),
             testata(17, "02/04/2023", "", ""), testata(18, "", "", ""),
             testata(19, "32/13/2023", "", ""),
             "INSERT INTO test_car (prot, rag_soc, indirizzo, cap, comune, p_iva, cod_fis, "
             "data_doc, "
             "num_doc, tipo_doc, tot_doc, imponibile, imponibile2, imposta, imposta2, spese, "
             "sc_perc, sc_importo) VALUES (5, 'GROSSISTA SPA', 'VIA INDUSTRIA 9', '35129', "
             "'PADOVA', '02345678904', '02345678904', '05/03/2023', '1234/A', 'TD01', "
             "'1445,00', '1.000,00', '200,00', '220,00', '20,00', '5,00', '1', '10,00')",
             "INSERT INTO dett_car (prot_car, prog, codice_val, descrizione, quantita, "
             "prezzo_unit, prezzo_tot, aliquota) VALUES (5, 1, 'GN1', 'Profilato', '10,00', "
             "'100,00', '1000,00', '22,00'), (6, 1, 'ALTRO', 'Estranea', '1,00', '1,00', "
             "'1,00', '22,00'), (5, 2, 'GN2', 'Staffe', '20,00', '10,00', '200,00', '10,00')"});
        apri();
    }

    void salesCopyLaysOutHeaderLinesAndFooter() {
        const LetturaPdf pdf = fattura(15);
        QVERIFY2(pdf.pagine() == 1, qPrintable(pdf.errore()));
        // Number, year and date side by side on the document row (y 59.3); number and
        // year label touch, so they read as one word.
        const Parola num = parola(pdf, "15/"), anno = parola(pdf, "2023"),
                     data = parola(pdf, "15/03/2023");
        QVERIFY(num.area.right() < anno.area.left() && anno.area.right() < data.area.left());
        QVERIFY(vicino(data.area.left(), 10 + 166.7));
        for (const Parola& p : {num, anno, data})
            QVERIFY(vicino(p.area.top(), 10 + 59.3));
        const Impaginazione imp = ImpaginaFattura(diz->fattura());
        QCOMPARE(imp.pagine[0].testi("QRLabel84"), QStringList{"/ 2023"});
        QVERIFY(vicino(anno.area.left(), 10 + 150.8 + 1.96)); // after "/ " in bold 10 pt
        const Parola ditta = parola(pdf, "ESEMPIO");
        QVERIFY(vicino(ditta.area.left(), 10 + 4.2) && vicino(ditta.area.top(), 10 + 2.1));
        const Parola spett = parola(pdf, "Spett.le");
        QVERIFY(vicino(spett.area.left(), 10 + 109.5) && vicino(spett.area.top(), 10 + 10.6));
        // Lines in the grid under the headings, each under the previous one.
        const Parola r1 = parola(pdf, "Articolo1"), r2 = parola(pdf, "Articolo2");
        QVERIFY(vicino(r1.area.left(), 10 + 24.3) && vicino(r1.area.top(), 10 + 74.9));
        QVERIFY(vicino(r2.area.top() - r1.area.top(), 5.6));
        // The footer at the foot of the page: 100 + 50 and 22 + 5 (letters add nothing).
        const double piede = 287 - 38.9;
        const Parola imponib = parola(pdf, "150,00"), iva = parola(pdf, "27,00");
        QVERIFY(vicino(imponib.area.right(), 10 + 163.8 + 22.8) &&
                vicino(imponib.area.top(), piede + 2.1));
        QVERIFY(vicino(iva.area.right(), 10 + 163.8 + 22.8) && vicino(iva.area.top(), piede + 6.3));
        const Parola tot = parola(pdf, "177,00");
        QVERIFY(vicino(tot.area.right(), 10 + 164.3 + 22.8) &&
                vicino(tot.area.top(), piede + 12.7));
        // The legal references of the slots beside "Esenzione".
        const Parola norma = parola(pdf, "esclusi");
        QVERIFY(vicino(norma.area.top(), piede + 26.2));
        QVERIFY(vicino(parola(pdf, "esenti").area.top(), piede + 30.4));
    }

    // Nothing spills or is lost: a long description wraps onto more lines of its row (the
    // next row moving down), a long name, address and town shrink into their boxes, and
    // the town ends before the province.
    void longTextsWrapOrShrinkIntoTheirBoxes() {
        const QString nome = "COMMERCIALE ADRIATICA FORNITURE INDUSTRIALI E SERVIZI SPA XY";
        const QString via = "VIA DELLE INDUSTRIE ARTIGIANALI E COMMERCIALI 1234 INT. 56";
        const QString comune = "SAN GIOVANNI IN PERSICETO FRAZIONE BUDRIE DI SOTTO";
        const QString descrizione = "Guarnizione in gomma nitrilica per raccordi idraulici ad "
                                    "alta pressione serie industriale pesante Z";
        QCOMPARE(descrizione.size(), 99);
        TestDb::esegui(
            db, {testata(20, "15/03/2023", "100,00", "22,00"), righe(20, 2),
                 QString("UPDATE testata SET rag_soc = '%1', indirizzo = '%2', comune = '%3', "
                         "prov = 'BO', dest_soc = '%1', dest_indir = '%2', dest_comune = '%3' "
                         "WHERE id_invio = 20")
                     .arg(nome, via, comune),
                 QString("UPDATE dettaglio SET descrizione = '%1' WHERE id_invio = 20 AND "
                         "prog = 1")
                     .arg(descrizione)});
        diz->Testata->refresh();
        const LetturaPdf pdf = fattura(20);
        QVERIFY2(pdf.pagine() == 1, qPrintable(pdf.errore()));
        for (const Parola& p : pdf.parole())
            QVERIFY2(p.area.right() <= 200 + 0.1, qPrintable(p.testo));
        for (const QString& t : {nome, via, comune, descrizione})
            for (const QString& w : t.split(' '))
                QVERIFY2(!pdf.trova(w).isEmpty(), qPrintable(w));
        // The description stays in its column, on more lines; the next line comes after.
        double fondo = 0;
        for (const QString& w : descrizione.split(' ')) {
            const Parola p = parola(pdf, w);
            QVERIFY2(p.area.left() >= 10 + 24.3 - 0.1 && p.area.right() <= 10 + 24.3 + 79.6 + 0.1,
                     qPrintable(w));
            fondo = std::max(fondo, p.area.bottom());
        }
        const Parola primo = parola(pdf, "Guarnizione"), ultimo = parola(pdf, "Z");
        QVERIFY(ultimo.area.top() > primo.area.top() + 2);
        QVERIFY(parola(pdf, "Articolo2").area.top() > fondo);
        // Customer and destination within their boxes; the town before the province.
        for (const QString& w : (nome + ' ' + via + ' ' + comune).split(' '))
            for (const Parola& p : pdf.trova(w))
                if (p.area.left() > 10 + 109.5 - 0.1)
                    QVERIFY2(p.area.right() <= 10 + 188.1 + 0.1, qPrintable(w));
        const Parola prov = parola(pdf, "BO");
        for (const Parola& p : pdf.trova("SOTTO"))
            if (vicino(p.area.top(), prov.area.top())) QVERIFY(p.area.right() < prov.area.left());
    }

    void manyLinesGiveThreePagesWithHeaderFooterAndNumber() {
        const LetturaPdf pdf = fattura(16);
        QCOMPARE(pdf.pagine(), 3);
        for (int p = 1; p <= 3; ++p) {
            QCOMPARE(pdf.trova("PAG.", p).size(), 1);
            QVERIFY(vicino(parola(pdf, "ESEMPIO", p).area.top(), 12.1));
            QCOMPARE(pdf.trova("Fattura", p).size(), 1); // "Totale Fattura"
            // Grouping points are read: 1.234,56 + 50,00 is no 50,00.
            QCOMPARE(pdf.trova("1284,56", p).size(), 1);
            const QList<Parola> numero = pdf.trova(QString::number(p), p);
            QVERIFY(std::any_of(numero.begin(), numero.end(), [](const Parola& w) {
                return vicino(w.area.right(), 10 + 182.0 + 5.3) && vicino(w.area.top(), 12.1);
            }));
        }
        QCOMPARE(pdf.trova("Articolo29", 1).size(), 1); // 29 lines to a page
        QCOMPARE(pdf.trova("Articolo30", 2).size(), 1);
        QCOMPARE(pdf.trova("Articolo60", 3).size(), 1);
    }

    void invoiceWithoutLinesPrintsOnePage() {
        const LetturaPdf pdf = fattura(17);
        QCOMPARE(pdf.pagine(), 1);
        QCOMPARE(pdf.trova("PAG.").size(), 1);
        QCOMPARE(pdf.trova("Esenzione").size(), 1);
        QCOMPARE(pdf.trova("50,00").size(), 2); // imponibile2 and the sum
    }

    void noDateOrNoInvoiceIsMancanzaDati() {
        const QString pdf = dir.filePath("mancanza.pdf");
        for (int id : {18, 19, 0}) {
            if (id) {
                QVERIFY(diz->Testata->locate("id_invio", id));
            } else { // no invoice at all
                diz->Testata->setSql("select * from testata where id_invio = 0");
                diz->Testata->refresh();
                QVERIFY(diz->Testata->isEmpty());
            }
            try {
                PdfFattura(diz->fattura(), pdf);
                QFAIL("printed without data");
            } catch (const ErroreStampa& e) {
                QCOMPARE(e.messaggio(), QString("Mancanza Dati"));
            }
            QVERIFY(!QFile::exists(pdf));
        }
        diz->Testata->setSql({});
        diz->Testata->refresh();
    }

    void purchaseCopyPrintsItsOwnLinesAndTotals() {
        QVERIFY(diz->Testa_Car->locate("prot", 5));
        // Without its link to the headers the line table holds every line: the copy
        // still prints only those of its purchase invoice.
        diz->Detta_Car->setMasterSource(nullptr);
        diz->Detta_Car->refresh();
        QCOMPARE(diz->Detta_Car->recordCount(), 3);
        const QString file = dir.filePath("acquisto.pdf");
        PdfFatturaAcquisto(diz->acquisto(), file);
        const LetturaPdf pdf(file);
        QCOMPARE(pdf.pagine(), 1);
        QVERIFY(pdf.trova("Profilato").size() == 1 && pdf.trova("Staffe").size() == 1);
        QCOMPARE(pdf.trova("Estranea").size(), 0);
        const double piede = 287 - 25.9;
        const Parola imponib = parola(pdf, "1200,00");
        QVERIFY(vicino(imponib.area.right(), 10 + 163.8 + 22.8) &&
                vicino(imponib.area.top(), piede + 4.2));
        QVERIFY(vicino(parola(pdf, "240,00").area.top(), piede + 8.5));
        const Parola spese = parola(pdf, "5,00"), merce = parola(pdf, "1205,00");
        QVERIFY(vicino(spese.area.right(), 10 + 24.1 + 21.2) &&
                vicino(spese.area.top(), piede + 7.1));
        QVERIFY(vicino(merce.area.right(), 10 + 4.8 + 16.4));
        // Supplier top left, the company under "Spett.le".
        QVERIFY(vicino(parola(pdf, "GROSSISTA").area.left(), 10 + 4.2));
        const Parola ditta = parola(pdf, "ESEMPIO");
        QVERIFY(vicino(ditta.area.left(), 10 + 109.5) && vicino(ditta.area.top(), 10 + 14.8));
        const Parola num = parola(pdf, "1234/A");
        QVERIFY(vicino(num.area.right(), 10 + 152.9 + 8.2) && vicino(num.area.top(), 10 + 48.7));
    }
};

QTEST_MAIN(TstStampa)
#include "tst_stampa.moc"
