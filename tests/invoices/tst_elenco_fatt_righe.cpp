#include "invoices/TAreaFatture.h"
#include "invoices/TEditorRiga.h"
#include "invoices/TPannelloTestata.h"
#include "tst_elenco_fatt_ambiente.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"

#include <QComboBox>
#include <QLineEdit>

// The line editor of the invoice window, driven with clicks, typing and Enter.
class TstElencoFattRighe : public QObject {
    Q_OBJECT
    AmbienteElencoFatt amb{QStringLiteral("gfe_t_elenco_fatt_righe")};

    TElenco_Fatt* w() { return amb.finestra.get(); }
    TEditorRiga* p3() { return amb.finestra->P3; }
    FakeDesktop& desk() { return amb.desktop; }

    // Invoice 1 with three lines, invoice 2 without lines.
    static QStringList fatture() {
        return {"INSERT INTO testata (id_invio, rag_soc, tot_doc, spese, spese2) VALUES "
                "(1, 'ALFA', '999,00', '0,00', '0,00'), (2, 'BETA', '', '0,00', '0,00')",
                "INSERT INTO dettaglio (id_invio, prog, descrizione, quantita, um, prezzo_unit, "
                "sc_tipo, sc_perc, sc_importo, prezzo_tot, aliquota, codice_tipo, codice_val, "
                "natura) VALUES "
                "(1, 1, 'r1', '1,00', 'PZ', '100,000', '', '', '', '100,000', '22', '', '', 'N2'), "
                "(1, 2, 'r2', '1,00', 'KG', '50,000', 'MG', '10,00', '5,00', '55,000', '10', "
                "'EAN', '8001', ''), "
                "(1, 3, 'r3', '2,00', 'PZ', '10,000', '', '', '', '20,000', '22', '', '', '')"};
    }

    QString riga(const QString& descrizione) {
        return amb.valore(
            "SELECT CONCAT_WS('|', id_invio, prog, descrizione, quantita, um, aliquota, "
            "codice_tipo, codice_val, prezzo_unit, sc_tipo, sc_perc, sc_importo, "
            "prezzo_tot, tipo_cessione, ritenuta, natura, rif_amm) FROM dettaglio "
            "WHERE descrizione='" +
            descrizione + "'");
    }
    QString progressivi() {
        return amb.valore(
            "SELECT GROUP_CONCAT(prog ORDER BY prog) FROM dettaglio WHERE id_invio=1");
    }
    QString totale(int id) {
        return amb.valore(QStringLiteral("SELECT tot_doc FROM testata WHERE id_invio=%1").arg(id));
    }

    static void clic(QWidget* c) { QTest::mouseClick(c, Qt::LeftButton); }
    // Types into a field as the user does and leaves it with Enter.
    static void digita(QWidget* c, const QString& testo) {
        clic(c);
        QTest::keyClick(c, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(c, Qt::Key_Delete);
        QTest::keyClicks(c, testo);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    void selezionaRiga(int r) {
        DBGrid* g = w()->DBGrid2;
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                          g->visualRect(g->model()->index(r, 1)).center());
        QCOMPARE(amb.diz->Detta->recNo(), r);
    }
    // Quantity 2, price 10, discount "SC" 10 %: discount 2,00 and total 18,000.
    void rigaConSconto() {
        clic(w()->Panel1->BitBtn7);
        digita(p3()->Edit2, "2");
        digita(p3()->Edit7, "10");
        digita(p3()->cb1, "SC");
        digita(p3()->Edit8, "10");
        QCOMPARE(p3()->Edit9->text(), QString("2,00"));
        QCOMPARE(p3()->Edit10->text(), QString("18,000"));
    }

private slots:
    void init() {
        amb.prepara(fatture());
        QVERIFY(amb.apri());
    }
    void cleanup() { amb.chiudi(); }

    void insRigaResetsQuantityPriceUnitAndRate() {
        p3()->Edit2->setText("5");
        p3()->Edit1->setText("rimasta");
        clic(w()->Panel1->BitBtn7);
        QVERIFY(p3()->isVisible());
        QCOMPARE(QApplication::focusWidget(), p3()->Edit1);
        QCOMPARE(p3()->modo(), ModoRiga::Nuova);
        QCOMPARE(p3()->Edit1->text(), QString("rimasta"));
        QCOMPARE(p3()->Edit2->text(), QString("0,00"));
        QCOMPARE(p3()->Edit7->text(), QString("0,00"));
        QCOMPARE(p3()->Edit3->text(), QString("PZ"));
        QCOMPARE(p3()->Edit4->text(), QString("22"));
    }

    void leavingAFieldReformatsAndComputes_data() {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QString>("riscritto");
        QTest::addColumn<QString>("sconto");
        QTest::addColumn<QString>("totale");
        QTest::newRow("quantity 3") << "Edit2"
                                    << "3"
                                    << "3,00"
                                    << "3,00"
                                    << "27,000";
        QTest::newRow("quantity letters") << "Edit2"
                                          << "abc"
                                          << "0,00"
                                          << "0,00"
                                          << "0,000";
        QTest::newRow("price 12,5") << "Edit7"
                                    << "12,5"
                                    << "12,500"
                                    << "2,50"
                                    << "22,500";
        QTest::newRow("price with grouping point") << "Edit7"
                                                   << "1.200,00"
                                                   << "0,000"
                                                   << "0,00"
                                                   << "0,000";
        QTest::newRow("percentage 5") << "Edit8"
                                      << "5"
                                      << "5,00"
                                      << "1,00"
                                      << "19,000";
        QTest::newRow("percentage letters") << "Edit8"
                                            << "x"
                                            << ""
                                            << "0,00"
                                            << "20,000";
    }
    void leavingAFieldReformatsAndComputes() {
        QFETCH(QString, campo);
        QFETCH(QString, digitato);
        QFETCH(QString, riscritto);
        QFETCH(QString, sconto);
        QFETCH(QString, totale);
        rigaConSconto();
        auto* edit = p3()->findChild<QLineEdit*>(campo);
        digita(edit, digitato);
        QCOMPARE(edit->text(), riscritto);
        QCOMPARE(p3()->Edit9->text(), sconto);
        QCOMPARE(p3()->Edit10->text(), totale);
        QVERIFY(desk().messaggi.isEmpty());
    }

    void discountKind_data() {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("percentuale");
        QTest::addColumn<QString>("sconto");
        QTest::addColumn<QString>("totale");
        QTest::newRow("SC") << "SC"
                            << "10,00"
                            << "2,00"
                            << "18,000";
        QTest::newRow("MG") << "MG"
                            << "10,00"
                            << "2,00"
                            << "22,000";
        QTest::newRow("none") << ""
                              << ""
                              << ""
                              << "20,000";
        QTest::newRow("typed text not in the list") << "XY"
                                                    << ""
                                                    << ""
                                                    << "20,000";
    }
    void discountKind() {
        QFETCH(QString, tipo);
        QFETCH(QString, percentuale);
        QFETCH(QString, sconto);
        QFETCH(QString, totale);
        rigaConSconto();
        digita(p3()->cb1, tipo);
        QCOMPARE(p3()->Edit8->text(), percentuale);
        QCOMPARE(p3()->Edit9->text(), sconto);
        QCOMPARE(p3()->Edit10->text(), totale);
    }

    void registraAppendsTheNextLineAndRecomputes() {
        rigaConSconto();
        digita(p3()->Edit1, "nuova");
        digita(p3()->Edit5, "SKU");
        digita(p3()->Edit6, "A-1");
        digita(p3()->cb2, "AC");
        digita(p3()->cb3, "SI");
        digita(p3()->CB4, "N3");
        digita(p3()->Edit11, "RIF-9");
        clic(p3()->BitBtn8);
        QVERIFY(p3()->isHidden());
        QVERIFY(desk().messaggi.isEmpty());
        QCOMPARE(
            riga("nuova"),
            QString("1|4|nuova|2,00|PZ|22|SKU|A-1|10,000|SC|10,00|2,00|18,000|AC|SI|N3|RIF-9"));
        QCOMPARE(progressivi(), QString("1,2,3,4"));
        // 22 %: 100 + 20 + 18 = 138, VAT 30,36; 10 %: 55, VAT 5,50.
        QCOMPARE(totale(1), QString("228,86"));
        QCOMPARE(amb.diz->Detta->recordCount(), 4);
    }

    void registraLeavesTheFocusedFieldFirst() {
        clic(w()->Panel1->BitBtn7);
        digita(p3()->Edit1, "diretta");
        digita(p3()->Edit7, "2,5");
        clic(p3()->Edit2);
        QTest::keyClick(p3()->Edit2, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(p3()->Edit2, "4");
        clic(p3()->BitBtn8);
        QCOMPARE(riga("diretta"), QString("1|4|diretta|4,00|PZ|22|||2,500||||10,000||||"));
    }

    void modRigaLoadsAndRewritesTheCurrentLine() {
        p3()->cb2->setCurrentText("PR");
        p3()->CB4->setCurrentText("N4");
        p3()->Edit11->setText("RIF");
        selezionaRiga(1);
        clic(w()->Panel1->BitBtn10);
        QVERIFY(p3()->isVisible());
        QCOMPARE(p3()->modo(), ModoRiga::Corrente);
        QCOMPARE(QApplication::focusWidget(), p3()->Edit1);
        const QStringList atteso{"r2",    "1,00", "KG",     "10", "EAN", "8001", "50,000", "MG",
                                 "10,00", "5,00", "55,000", "PR", "",    "N4",   "RIF"};
        const CampiRiga c = p3()->campi();
        QCOMPARE((QStringList{c.descrizione, c.quantita, c.um, c.aliquota, c.codiceTipo,
                              c.codiceVal, c.prezzoUnit, c.scTipo, c.scPerc, c.scImporto,
                              c.prezzoTot, c.tipoCessione, c.ritenuta, c.natura, c.rifAmm}),
                 atteso);
        digita(p3()->Edit2, "3");
        QCOMPARE(p3()->Edit10->text(), QString("165,000"));
        clic(p3()->BitBtn8);
        QVERIFY(p3()->isHidden());
        QCOMPARE(riga("r2"),
                 QString("1|2|r2|3,00|KG|10|EAN|8001|50,000|MG|10,00|15,00|165,000|PR||N4|RIF"));
        QCOMPARE(progressivi(), QString("1,2,3"));
        // 22 %: 120, VAT 26,40; 10 %: 165 counts as a gift line ("PR"), VAT 16,50.
        QCOMPARE(totale(1), QString("162,90"));
    }

    // The typing limit of "U.M." and "Aliquota" (4 characters) must not cut what the line
    // holds: "CONF." and "22,00" are written back as they were, so the line keeps its slot.
    void modRigaKeepsLongerStoredUnitAndRate() {
        TestDb::esegui(
            amb.db, {"UPDATE dettaglio SET um='CONF.', aliquota='22,00' WHERE descrizione='r3'"});
        amb.diz->Detta->refresh();
        selezionaRiga(2);
        clic(w()->Panel1->BitBtn10);
        QCOMPARE(p3()->Edit3->text(), QString("CONF."));
        QCOMPARE(p3()->Edit4->text(), QString("22,00"));
        clic(p3()->Edit3);
        QTest::keyClick(p3()->Edit3, Qt::Key_End);
        QTest::keyClicks(p3()->Edit3, "X");
        QCOMPARE(p3()->Edit3->text(), QString("CONF."));
        clic(p3()->BitBtn8);
        QVERIFY(p3()->isHidden());
        QCOMPARE(
            amb.valore("SELECT CONCAT(um, '|', aliquota) FROM dettaglio WHERE descrizione='r3'"),
            QString("CONF.|22,00"));
    }

    // Without any invoice a new line has nowhere to go: refused, nothing stored.
    // A sent invoice is final, the stored mark deciding (the web application sets it
    // while the window shows the invoice): the line editor does not open, no line is
    // deleted, the header's "Registra" stores nothing, until the user clears "Inviata".
    void sentInvoiceIsRefusedUntilClearedByHand() {
        TestDb::esegui(amb.db, {"UPDATE testata SET inviata = 1 WHERE id_invio = 1"});
        QVERIFY(amb.diz->Testata->locate("id_invio", 1));
        const QString rifiuto = "Operazione non possibile... Fattura Inviata";
        clic(w()->Panel1->BitBtn7);
        QVERIFY(p3()->isHidden());
        selezionaRiga(1);
        clic(w()->Panel1->BitBtn10);
        QVERIFY(p3()->isHidden());
        desk().risposte = {true};
        clic(w()->Panel1->BitBtn12);
        QCOMPARE(desk().messaggi, QStringList(3, rifiuto));
        QCOMPARE(desk().domande, QStringList());
        QCOMPARE(progressivi(), QString("1,2,3"));

        amb.diz->Testata->refresh();
        TPannelloTestata* p4 = w()->P4;
        clic(w()->Panel1->BitBtn11);
        QVERIFY(p4->isVisible());
        digita(p4->DBEdit3, "CAMBIATA");
        clic(p4->BitBtn13);
        QCOMPARE(desk().messaggi, QStringList(4, rifiuto));
        QVERIFY(p4->isVisible());
        QCOMPARE(p4->DBEdit3->text(), QString("ALFA"));
        QCOMPARE(amb.valore("SELECT CONCAT_WS('|', rag_soc, tot_doc) FROM testata WHERE "
                            "id_invio = 1"),
                 QString("ALFA|999,00"));

        clic(p4->DBCheckBox1);
        clic(p4->BitBtn13);
        QVERIFY(p4->isHidden());
        QCOMPARE(desk().messaggi.size(), 4);
        QCOMPARE(amb.valore("SELECT CONCAT_WS('|', inviata, tot_doc) FROM testata WHERE "
                            "id_invio = 1"),
                 QString("0|206,90"));
        clic(w()->Panel1->BitBtn7);
        QVERIFY(p3()->isVisible());
    }

    void registraWithoutAnyInvoiceIsRefused() {
        TestDb::esegui(amb.db, {"DELETE FROM dettaglio", "DELETE FROM testata"});
        amb.diz->Testata->refresh();
        clic(w()->Panel1->BitBtn7);
        p3()->Edit1->setText("orfana");
        clic(p3()->BitBtn8);
        QCOMPARE(desk().messaggi, QStringList{"Nessuna fattura a cui aggiungere la riga"});
        QVERIFY(p3()->isVisible());
        QCOMPARE(amb.valore("SELECT COUNT(*) FROM dettaglio"), QString("0"));
        QCOMPARE(amb.valore("SELECT COUNT(*) FROM testata"), QString("0"));
    }

    void modRigaWithoutLinesDoesNotOpen() {
        QVERIFY(amb.diz->Testata->locate("id_invio", 2));
        clic(w()->Panel1->BitBtn10);
        QCOMPARE(desk().messaggi, QStringList{"Nessuna riga da modificare"});
        QVERIFY(p3()->isHidden());
    }

    void deleteLine_data() {
        QTest::addColumn<bool>("si");
        QTest::addColumn<QString>("restano");
        QTest::newRow("no") << false << "1,2,3";
        QTest::newRow("yes") << true << "1,3";
    }
    void deleteLine() {
        QFETCH(bool, si);
        QFETCH(QString, restano);
        selezionaRiga(1);
        desk().risposte = {si};
        clic(w()->Panel1->BitBtn12);
        QCOMPARE(desk().domande, QStringList{"Confermi Eliminazione Riga: ?"});
        QCOMPARE(progressivi(), restano);
        QCOMPARE(totale(1), QString("999,00")); // not recomputed
    }

    void newLineAfterADeletionFollowsTheLastOne() {
        selezionaRiga(1);
        desk().risposte = {true};
        clic(w()->Panel1->BitBtn12);
        clic(w()->Panel1->BitBtn7);
        digita(p3()->Edit1, "dopo");
        clic(p3()->BitBtn8);
        QCOMPARE(progressivi(), QString("1,3,4"));
        QCOMPARE(riga("dopo").section('|', 0, 1), QString("1|4"));
    }

    void firstLineOfAnInvoiceIsOne() {
        QVERIFY(amb.diz->Testata->locate("id_invio", 2));
        clic(w()->Panel1->BitBtn7);
        digita(p3()->Edit1, "prima");
        digita(p3()->Edit2, "1");
        digita(p3()->Edit7, "5");
        clic(p3()->BitBtn8);
        QCOMPARE(riga("prima").section('|', 0, 3), QString("2|1|prima|1,00"));
        QCOMPARE(totale(2), QString("6,10"));
    }

    void insRigaAfterModRigaShowsThatLineAgain() {
        selezionaRiga(1);
        clic(w()->Panel1->BitBtn10);
        clic(p3()->BitBtn9);
        QVERIFY(p3()->isHidden());
        clic(w()->Panel1->BitBtn7);
        const CampiRiga c = p3()->campi();
        QCOMPARE(
            (QStringList{c.descrizione, c.codiceTipo, c.codiceVal, c.scTipo, c.scPerc, c.scImporto,
                         c.prezzoTot, c.quantita, c.prezzoUnit, c.um, c.aliquota}),
            (QStringList{"r2", "EAN", "8001", "MG", "10,00", "5,00", "55,000", "0,00", "0,00", "PZ",
                         "22"}));
    }

    void annullaWritesNothingAndKeepsTheFields() {
        clic(w()->Panel1->BitBtn7);
        digita(p3()->Edit1, "bozza");
        clic(p3()->BitBtn9);
        QVERIFY(p3()->isHidden());
        QCOMPARE(progressivi(), QString("1,2,3"));
        clic(w()->Panel1->BitBtn7);
        QCOMPARE(p3()->Edit1->text(), QString("bozza"));
    }

    void registraFailureKeepsTheEditorOpen() {
        TestDb::esegui(amb.db, {"UPDATE dettaglio SET quantita='x' WHERE prog=3"});
        amb.diz->Detta->refresh();
        clic(w()->Panel1->BitBtn7);
        digita(p3()->Edit1, "fallita");
        clic(p3()->BitBtn8);
        QCOMPARE(desk().messaggi, QStringList{QString::fromUtf8(
                                      "Riga 3, quantita: 'x' non è un valore numerico valido")});
        QVERIFY(p3()->isVisible());
    }

    void storedNatureOfTheCurrentLine() {
        QCOMPARE(p3()->DBEdit39->text(), QString("N2"));
        selezionaRiga(1);
        QCOMPARE(p3()->DBEdit39->text(), QString(""));
    }
};

QTEST_MAIN(TstElencoFattRighe)
#include "tst_elenco_fatt_righe.moc"
