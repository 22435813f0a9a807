#include "AmbienteRegistri.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "invoices/TAreaFatture.h"
#include "invoices/TPannelloTestata.h"
#include "platform/Testi.h"
#include "registries/TArticoli.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

const QStringList kDati{
    "INSERT INTO magazzino (id, descrizione, codice_val, um, prezzo_unit, sc_tipo, sc_perc,"
    " sc_importo, prezzo_tot, aliquota, costo_unit) VALUES"
    " (1, 'VITI', 'VIT', 'PZ', '10,000', '', '', '', '10,000', '22', '0,000'),"
    " (2, 'GENERATORE', 'GEN', 'PZ', '1.500,000', 'SC', '10,0', '150,00', '1.350,000', '22',"
    "  '0,000'),"
    " (3, 'ARTICOLO ROTTO', 'ROT', 'PZ', 'abc', '', '', '', 'abc', '22', '0,000')",
    "INSERT INTO testata (id_invio, rag_soc, aliquota3, tot_doc, inviata) VALUES"
    " (1, 'TRE RIGHE', '4', '999,00', 0), (2, 'SENZA RIGHE', NULL, NULL, 0),"
    " (3, 'INVIATA', NULL, '5,00', 1)",
    "INSERT INTO dettaglio (id_invio, prog, descrizione, aliquota, prezzo_tot) VALUES"
    " (1, 1, 'A', '22', '100,000'), (1, 2, 'B', '10', '20,000'), (1, 3, 'C', '22', '50,000')"};

} // namespace

// The articles window: searches, prices, "Nuovo", and the article pick into the
// invoice with its numbering and two-rate summary.
class TstArticoli : public QObject {
    Q_OBJECT
    AmbienteRegistri amb{QStringLiteral("gfe_t_articoli")};
    std::unique_ptr<TArticoli> w;

    void apri(const QStringList& files, const QStringList& dati) {
        amb.apri(files, dati);
        w = std::make_unique<TArticoli>(*amb.diz);
        amb.fatture->impostaScelte(nullptr, w.get());
    }
    QStringList codici() const {
        QStringList out;
        for (int r = 0; r < w->DBGrid3->model()->rowCount(); ++r)
            out << w->DBGrid3->cellText(r, 0);
        return out;
    }
    static void scrivi(QLineEdit* e, const QString& testo) {
        e->setFocus();
        e->selectAll();
        if (testo.isEmpty()) QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, testo);
    }
    static void scegli(DBComboBox* c, int volte) {
        c->setFocus();
        for (int i = 0; i < volte; ++i)
            QTest::keyClick(c, Qt::Key_Down);
    }
    // Picks the article found by `codice` through "Articoli Magazzino".
    void prendi(const QString& codice) {
        amb.daFatture(amb.fatture->Panel1->BitBtn6, w.get(), [this, codice] {
            QTest::keyClicks(w->Edit1, codice);
            amb.doppioClic(w->DBGrid3, 0);
        });
    }
    QString riga(int fattura, int prog) {
        return amb.valore(QStringLiteral("SELECT CONCAT_WS('|', descrizione, quantita, prezzo_unit,"
                                         " sc_tipo, sc_perc, sc_importo, prezzo_tot, aliquota)"
                                         " FROM dettaglio WHERE id_invio=%1 AND prog=%2")
                              .arg(fattura)
                              .arg(prog));
    }
    QString riepilogo(int fattura) {
        return amb.valore(
            QStringLiteral("SELECT CONCAT_WS('|', aliquota, imponibile, imposta,"
                           " aliquota2, imponibile2, imposta2, IFNULL(aliquota3, '-'),"
                           " IFNULL(tot_doc, '-')) FROM testata WHERE id_invio=%1")
                .arg(fattura));
    }

private slots:
    void init() { apri({"xml_quirn.sql"}, kDati); }
    void cleanup() {
        w.reset();
        amb.chiudi();
    }

    void searchesListByCode() {
        QVERIFY(amb.mostra(w.get()));
        QCOMPARE(QApplication::focusWidget(), w->Edit1);
        QTest::keyClicks(w->Edit2, "r");
        QCOMPARE(codici(), (QStringList{"GEN", "ROT"}));
        QTest::keyClicks(w->Edit1, "_"); // typed text only, no pattern
        QCOMPARE(codici(), QStringList());
        w->Edit1->clear();
        QTest::keyClicks(w->Edit1, "i");
        QCOMPARE(codici(), QStringList{"VIT"});
        w->hide();
        QVERIFY(amb.mostra(w.get())); // each showing empties both searches
        QCOMPARE(w->Edit1->text() + w->Edit2->text(), QString());
        QCOMPARE(codici(), (QStringList{"GEN", "ROT", "VIT"}));
    }

    void sellingPrices_data() {
        QTest::addColumn<QString>("lordo");
        QTest::addColumn<int>("tipo"); // presses of Down: 1 SC, 2 MG
        QTest::addColumn<QString>("perc");
        QTest::addColumn<QStringList>("attesi"); // gross, percentage, discount, net
        QTest::newRow("discount") << "100" << 1 << "10"
                                  << QStringList{"100,000", "10,0", "10,00", "90,000"};
        QTest::newRow("surcharge")
            << "100" << 2 << "10" << QStringList{"100,000", "10,0", "10,00", "110,000"};
        QTest::newRow("grouped") << "1500" << 1 << "10"
                                 << QStringList{"1.500,000", "10,0", "150,00", "1.350,000"};
        QTest::newRow("four characters")
            << "100" << 1 << "12,5" << QStringList{"100,000", "12,5", "12,50", "87,500"};
        QTest::newRow("no kind") << "100" << 0 << "10" << QStringList{"100,000", "", "", "100,000"};
        QTest::newRow("letter") << "x" << 0 << "" << QStringList{"0,000", "", "", "0,000"};
    }
    void sellingPrices() {
        QFETCH(QString, lordo);
        QFETCH(int, tipo);
        QFETCH(QString, perc);
        QFETCH(QStringList, attesi);
        QVERIFY(amb.mostra(w.get()));
        QVERIFY(amb.diz->Articoli->locate("codice_val", "VIT"));
        scrivi(w->DBEdit4, lordo);
        scegli(w->DBComboBox1, tipo);
        scrivi(w->DBEdit6, perc);
        w->DBEdit1->setFocus();
        QCOMPARE((QStringList{w->DBEdit4->text(), w->DBEdit6->text(), w->DBEdit7->text(),
                              w->DBEdit8->text()}),
                 attesi);
        QCOMPARE(amb.diz->Articoli->state(), TableState::Edit);
        w->close(); // closing stores the article
        QCOMPARE(amb.valore("SELECT prezzo_tot FROM magazzino WHERE id=1"), attesi[3]);
    }

    void emptiedPercentages() {
        QVERIFY(amb.mostra(w.get()));
        QVERIFY(amb.diz->Articoli->locate("codice_val", "GEN"));
        scrivi(w->DBEdit6, "");
        scrivi(w->DBEdit9, "100");
        scegli(w->DBComboBox2, 1);
        scrivi(w->DBEdit11, "");
        w->DBEdit1->setFocus();
        QCOMPARE((QStringList{w->DBEdit6->text(), w->DBEdit7->text(), w->DBEdit8->text()}),
                 (QStringList{"", "150,00", "1.500,000"}));
        QCOMPARE((QStringList{w->DBEdit11->text(), w->DBEdit12->text(), w->DBEdit13->text()}),
                 (QStringList{"0,00", "0,00", "100,000"}));
    }

    void newArticle() {
        QVERIFY(amb.mostra(w.get()));
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), w->DBEdit1);
        QTest::keyClicks(w->DBEdit1, "vite");
        w->close();
        QCOMPARE(amb.valore("SELECT CONCAT_WS('|', descrizione, esistenza, um, aliquota,"
                            " prezzo_unit, sc_perc, sc_importo, prezzo_tot, costo_unit,"
                            " sc_costo_perc, sc_costo_importo, costo_tot,"
                            " IFNULL(sc_tipo, '-'), IFNULL(sc_costo_tipo, '-'))"
                            " FROM magazzino WHERE id > 3"),
                 QString("VITE|0|PZ|22|0,000|0|0|0|0,000|0|0|0|-|-"));
    }

    // Line 4 after line 3, the summary of both rates summed again, the third rate and
    // the total left alone, the searches emptied and the window closed.
    void pickNumbersAndRecomputes() {
        QVERIFY(amb.diz->Testata->locate("id_invio", 1));
        prendi("VIT");
        QVERIFY(!amb.rimastaAperta);
        QCOMPARE(riga(1, 4), QString("VITI|1|10,000||||10,000|22"));
        QCOMPARE(riepilogo(1), QString("22|160,00|35,20|10|20,00|2,00|4|999,00"));
        QCOMPARE(w->Edit1->text(), QString());
        QCOMPARE(amb.desktop.messaggi, QStringList());

        // Into an invoice without lines: line 1, amounts without grouping points.
        QVERIFY(amb.diz->Testata->locate("id_invio", 2));
        prendi("GEN");
        // The percentage as the article holds it, the amounts without grouping points.
        QCOMPARE(riga(2, 1), QString("GENERATORE|1|1500,000|SC|10,0|150,00|1350,000|22"));
        QCOMPARE(riepilogo(2), QString("22|1350,00|297,00|-|-"));

        // A line amount that cannot be read counts as zero, and the user is told.
        prendi("ROT");
        QCOMPARE(riepilogo(2), QString("22|1350,00|297,00|-|-"));
        QCOMPARE(amb.desktop.messaggi,
                 QStringList{"Riga 2: prezzo totale \"abc\" non leggibile, contato come zero "
                             "nel riepilogo IVA"});

        // A sent invoice takes no article.
        amb.desktop.messaggi.clear();
        QVERIFY(amb.diz->Testata->locate("id_invio", 3));
        prendi("VIT");
        QCOMPARE(amb.desktop.messaggi, QStringList{"Operazione non possibile... Fattura Inviata"});
        QCOMPARE(amb.valore("SELECT COUNT(*) FROM dettaglio WHERE id_invio=3"), QString("0"));
        QCOMPARE(riepilogo(3), QString("-|5,00"));

        // Shown from the main menu the double click adds nothing.
        amb.fatture->hide();
        QVERIFY(amb.mostra(w.get()));
        amb.doppioClic(w->DBGrid3, 0);
        QVERIFY(w->isVisible());
        QCOMPARE(amb.valore("SELECT COUNT(*) FROM dettaglio"), QString("6"));
    }

    void pickWithoutAnInvoiceStartsOne() {
        TestDb::esegui(amb.db, {"DELETE FROM testata", "DELETE FROM dettaglio"});
        amb.diz->Testata->refresh();
        prendi("VIT");
        QCOMPARE(amb.valore("SELECT CONCAT_WS('|', COUNT(*), MAX(tipo_doc), MAX(imponibile))"
                            " FROM testata"),
                 QString("1|TD01|10,00"));
        QCOMPARE(amb.valore("SELECT CONCAT_WS('|', d.prog, d.descrizione) FROM dettaglio d"
                            " JOIN testata t ON t.id_invio = d.id_invio"),
                 QString("1|VITI"));
    }

    // An article of more than 1000 euro: "Registra" of the header editor then
    // computes the totals from the line, and the written file passes the checks.
    void groupedArticleGivesRightTotalsAndFile() {
        QTemporaryDir cartella;
        QVERIFY(cartella.isValid());
        cleanup();
        apri({"xml_quirn.sql", "demo_xml_quirn.sql"},
             {"UPDATE azienda SET path='" + cartella.path() + "/'"});
        const auto registra = [this] {
            QTest::mouseClick(amb.fatture->Panel1->BitBtn11, Qt::LeftButton);
            QTest::mouseClick(amb.fatture->P4->BitBtn13, Qt::LeftButton);
            return Testi::numero(amb.valore("SELECT tot_doc FROM testata WHERE id_invio=3"));
        };
        amb.fatture->show();
        QVERIFY(amb.diz->Testata->locate("id_invio", 3));
        const long double prima = registra();
        prendi("GEN3K");
        QCOMPARE(amb.desktop.messaggi, QStringList());
        QVERIFY(amb.diz->Testata->locate("id_invio", 3));
        QCOMPARE(double(registra() - prima), 1525.0);
        QTest::mouseClick(amb.fatture->Panel1->BitBtn4, Qt::LeftButton);
        QCOMPARE(amb.desktop.messaggi, QStringList());
        const QStringList files = QDir(cartella.path()).entryList({"*.xml"});
        QCOMPARE(files.size(), 1);
        QCOMPARE(ValidatoreFatturaPA().valida(cartella.filePath(files[0])), QList<Problema>());
    }
};

QTEST_MAIN(TstArticoli)
#include "tst_articoli.moc"
