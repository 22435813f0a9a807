#include "Anteprima.h"
#include "invoices/TAreaFatture.h"
#include "invoices/TEditorRiga.h"
#include "invoices/TLegenda.h"
#include "invoices/TPannelloIva.h"
#include "invoices/TPannelloTestata.h"
#include "platform/Testi.h"
#include "tst_elenco_fatt_ambiente.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"
#include "widgets/MaskEdit.h"

#include <QAbstractButton>

// The sales invoice window driven as the user does: new and deleted invoices,
// the header editor, the colouring of sent invoices and the XML buttons.
class TstElencoFatt : public QObject {
    Q_OBJECT
    AmbienteElencoFatt amb{QStringLiteral("gfe_t_elenco_fatt")};

    TElenco_Fatt* w() { return amb.finestra.get(); }
    FakeDesktop& desk() { return amb.desktop; }

    // Invoice 1 sent, 2 and 3 not; 1 and 3 have one line each, 2 two lines.
    static QStringList fatture() {
        return {
            "INSERT INTO testata (id_invio, rag_soc, tot_doc, tipo_pag, inviata, aliquota, "
            "spese, spese2) VALUES (1, 'ALFA', '10,00', 'TP02', 1, '', '0,00', '0,00'), "
            "(2, 'BETA', '20,00', 'TP02', 0, '5', '0,00', '0,00'), "
            "(3, 'GAMMA', '30,00', 'TP01', 0, '', '0,00', '0,00')",
            "INSERT INTO dettaglio (id_invio, prog, descrizione, quantita, prezzo_tot, aliquota) "
            "VALUES (1, 1, 'a1', '1,00', '10,000', '22'), (2, 1, 'b1', '1,00', '100,000', '22'), "
            "(2, 2, 'b2', '1,00', '50,000', '10'), (3, 1, 'c1', '1,00', '30,000', '22')"};
    }

    QString righe(int id) {
        return amb.valore(
            QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE id_invio=%1").arg(id));
    }
    QString testate() {
        return amb.valore("SELECT GROUP_CONCAT(id_invio ORDER BY id_invio) FROM testata");
    }

    static void clic(QWidget* c) { QTest::mouseClick(c, Qt::LeftButton); }
    // Replaces the text of a field as the user does: click, select all, type.
    static void digita(QWidget* c, const QString& testo) {
        clic(c);
        QTest::keyClick(c, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(c, testo);
    }

    void vaiA(int idInvio) { QVERIFY(amb.diz->Testata->locate("id_invio", idInvio)); }

    // The cell of the header grid as drawn on screen.
    QImage cella(int riga, int colonna, QRect& rect) {
        DBGrid* g = w()->DBGrid1;
        rect = g->visualRect(g->model()->index(riga, colonna)).translated(g->viewport()->pos());
        return g->grab().toImage();
    }
    bool rossa(int riga, int colonna) {
        QRect r;
        const QImage img = cella(riga, colonna, r);
        return img.pixelColor(r.right() - 3, r.center().y()) == QColor(255, 0, 0);
    }
    // Pixels of white text over the red background (antialiased: mostly white).
    int pixelBianchi(int riga, int colonna) {
        QRect r;
        const QImage img = cella(riga, colonna, r);
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = img.pixelColor(x, y);
                n += c.red() == 255 && c.green() >= 160 && c.blue() >= 160;
            }
        return n;
    }

private slots:
    void init() {
        amb.prepara(fatture());
        QVERIFY(amb.apri());
    }
    void cleanup() { amb.chiudi(); }

    void showingClosesPanelsAndResetsTheDate() {
        QVERIFY(w()->P2->isHidden() && w()->P3->isHidden() && w()->P4->isHidden());
        const QString oggi = Testi::testoDataBreve(QDate::currentDate());
        QCOMPARE(w()->M1->text(), oggi);
        clic(w()->Panel1->BitBtn1);
        QVERIFY(w()->P2->isVisible());
        // Invoice 1 is sent, so its lines are final: the line editor opens on invoice 2.
        QTest::keyClick(w()->DBGrid1, Qt::Key_Down);
        QVERIFY(amb.diz->Testata->locate("id_invio", 2)); // not sent: its lines can change
        clic(w()->Panel1->BitBtn7);
        clic(w()->Panel1->BitBtn11);
        QVERIFY(w()->P3->isVisible() && w()->P4->isVisible());
        digita(w()->M1, "010120");
        QCOMPARE(w()->M1->text(), QString("01/01/20"));
        QTest::keyClick(w()->DBGrid1, Qt::Key_Down);
        const int riga = w()->DBGrid1->currentIndex().row();
        const int righe = w()->DBGrid1->model()->rowCount();
        w()->close();
        QVERIFY(w()->isHidden());
        w()->show();
        // Closing only hides: the list and its current invoice are as the user left them.
        QVERIFY(w()->P2->isHidden() && w()->P3->isHidden() && w()->P4->isHidden());
        QCOMPARE(w()->M1->text(), oggi);
        QCOMPARE(w()->DBGrid1->model()->rowCount(), righe);
        QCOMPARE(w()->DBGrid1->currentIndex().row(), riga);
    }

    void legendOpensAndCloses() {
        clic(w()->Panel1->BitBtn1);
        QVERIFY(w()->P2->isVisible());
        clic(w()->P2->BitBtn2);
        QVERIFY(w()->P2->isHidden());
    }

    void escapeDoesNotCloseTheWindow() {
        QVERIFY(w()->isVisible());
        QTest::keyClick(w(), Qt::Key_Escape);
        QVERIFY(w()->isVisible());
    }

    void newInvoiceIsWrittenAtOnceWithDefaults() {
        clic(w()->Panel1->BitBtn15);
        QCOMPARE(testate(), QString("1,2,3,4"));
        QCOMPARE(amb.valore("SELECT CONCAT_WS('|', tipo_doc, tipo_pag, mod_pag, esig_iva, causale, "
                            "trasporto, porto, aspetto, spese, arrot3, inviata) FROM testata "
                            "WHERE id_invio=4"),
                 QString("TD01|TP02|MP01|I|Vendita|Vettore|Franco|Cartoni, Imballi|0,00|0,00|0"));
        QCOMPARE(amb.diz->Testata->state(), TableState::Browse);
        QCOMPARE(amb.diz->Testata->field("id_invio").asInteger(), 4);
        QCOMPARE(amb.diz->Detta->recordCount(), 0);
        QVERIFY(w()->P4->isHidden());
    }

    void headerRegistraReplacesTypedValues() {
        vaiA(2);
        clic(w()->Panel1->BitBtn11);
        TPannelloTestata* p4 = w()->P4;
        QVERIFY(p4->isVisible());
        digita(p4->Panel2->Aliquota, "99");
        digita(p4->DBEdit21, "77,00");
        digita(p4->DBEdit3, "nuova ragione");
        QCOMPARE(amb.diz->Testata->state(), TableState::Edit);
        clic(p4->BitBtn13);
        QVERIFY(p4->isHidden());
        QCOMPARE(
            amb.valore("SELECT CONCAT_WS('|', rag_soc, aliquota, imponibile, imposta, aliquota2, "
                       "imponibile2, imposta2, sc_importo, tot_doc) FROM testata WHERE id_invio=2"),
            QString("NUOVA RAGIONE|22|100,00|22,00|10|50,00|5,00|0,00|177,00"));
        QCOMPARE(p4->Panel2->Aliquota->text(), QString("22"));
        QCOMPARE(p4->DBEdit21->text(), QString("0,00"));
        QCOMPARE(amb.diz->Testata->state(), TableState::Browse);
    }

    void headerRegistraFailureKeepsTheEditorOpen() {
        TestDb::esegui(amb.db, {"UPDATE dettaglio SET quantita='x' WHERE id_invio=3"});
        vaiA(3);
        amb.diz->Detta->refresh();
        const QString testata = "SELECT CONCAT_WS('|', aliquota, imponibile, tot_doc) FROM testata "
                                "WHERE id_invio=3";
        const QString prima = amb.valore(testata);
        clic(w()->Panel1->BitBtn11);
        clic(w()->P4->BitBtn13);
        QCOMPARE(desk().messaggi, QStringList{QString::fromUtf8(
                                      "Riga 1, quantita: 'x' non è un valore numerico valido")});
        QVERIFY(w()->P4->isVisible());
        // The header keeps, and shows, what it held before.
        QCOMPARE(amb.valore(testata), prima);
        QCOMPARE(amb.diz->Testata->field("tot_doc").asString(), prima.section('|', -1));
    }

    void annullaKeepsReferencesWrittenByTheirNavigators() {
        vaiA(2);
        clic(w()->Panel1->BitBtn11);
        TPannelloTestata* p4 = w()->P4;
        digita(p4->DBEdit3, "scartata");
        clic(p4->DBNavigator3->button(DBNavigator::Button::Insert));
        amb.diz->ContrattoT->field("tipo").setAsString("DatiContratto");
        clic(p4->DBNavigator3->button(DBNavigator::Button::Post));
        clic(p4->DBNavigator4->button(DBNavigator::Button::Insert));
        amb.diz->ContrattoD->field("id_documento").setAsString("K-7");
        clic(p4->DBNavigator4->button(DBNavigator::Button::Post));
        clic(p4->BitBtn14);
        QVERIFY(p4->isHidden());
        QCOMPARE(amb.valore("SELECT rag_soc FROM testata WHERE id_invio=2"), QString("BETA"));
        QCOMPARE(amb.diz->Testata->field("rag_soc").asString(), QString("BETA"));
        QCOMPARE(amb.valore("SELECT CONCAT_WS('|', id_invio, tipo) FROM test_dati"),
                 QString("2|DatiContratto"));
        QCOMPARE(
            amb.valore("SELECT CONCAT_WS('|', id_invio, tipo, id_documento) FROM dati_acquisto"),
            QString("2|DatiContratto|K-7"));
    }

    void sentInvoiceIsNotDeleted() {
        vaiA(1);
        clic(w()->Panel1->BitBtn16);
        QCOMPARE(desk().messaggi, QStringList{"Operazione non possibile... Fattura Inviata"});
        QVERIFY(desk().domande.isEmpty());
        QCOMPARE(testate(), QString("1,2,3"));
        QCOMPARE(righe(1), QString("1"));
    }

    void deleteInvoice_data() {
        QTest::addColumn<bool>("si");
        QTest::addColumn<QString>("restano");
        QTest::addColumn<QString>("righeRestanti");
        QTest::newRow("no keeps it") << false << "1,2,3"
                                     << "2";
        QTest::newRow("yes removes header and lines") << true << "1,3"
                                                      << "0";
    }
    void deleteInvoice() {
        QFETCH(bool, si);
        QFETCH(QString, restano);
        QFETCH(QString, righeRestanti);
        vaiA(2);
        desk().risposte = {si};
        clic(w()->Panel1->BitBtn16);
        QCOMPARE(desk().domande, QStringList{"Confermi Eliminazione Fattura: ?"});
        QVERIFY(desk().messaggi.isEmpty());
        QCOMPARE(testate(), restano);
        QCOMPARE(righe(2), righeRestanti);
        QCOMPARE(righe(3), QString("1"));
        // The lines shown are those of the header now current.
        const int corrente = amb.diz->Testata->field("id_invio").asInteger();
        QCOMPARE(amb.diz->Detta->recordCount(), righe(corrente).toInt());
    }

    void failedDeleteKeepsHeaderAndLines_data() {
        QTest::addColumn<QString>("tabella");
        QTest::newRow("lines refused") << "dettaglio";
        QTest::newRow("header refused after its lines") << "testata";
    }
    void failedDeleteKeepsHeaderAndLines() {
        QFETCH(QString, tabella);
        TestDb::esegui(amb.db, {"CREATE TRIGGER vieta BEFORE DELETE ON " + tabella +
                                " FOR EACH ROW SIGNAL SQLSTATE '45000' "
                                "SET MESSAGE_TEXT = 'Cancellazione vietata'"});
        vaiA(2);
        desk().risposte = {true};
        clic(w()->Panel1->BitBtn16);
        QCOMPARE(desk().messaggi, QStringList{"Cancellazione vietata (1644)"});
        QCOMPARE(testate(), QString("1,2,3"));
        QCOMPARE(righe(2), QString("2"));
        QCOMPARE(amb.diz->Testata->field("id_invio").asInteger(), 2);
        QCOMPARE(amb.diz->Detta->recordCount(), 2);
    }

    void navigatorDeleteRemovesOnlyTheHeader() {
        vaiA(1); // sent: the navigator does not look at it
        desk().risposte = {true};
        clic(w()->Panel1->DBNavigator1->button(DBNavigator::Button::Delete));
        QCOMPARE(desk().domande, QStringList{"Eliminare la riga?"});
        QCOMPARE(testate(), QString("2,3"));
        QCOMPARE(righe(1), QString("1"));
    }

    void enterInTheHeaderGridMovesToTheNextControl() {
        DBGrid* g = w()->DBGrid1;
        clic(g->viewport());
        QVERIFY(g->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w()->Panel1->BitBtn6);
        QCOMPARE(amb.diz->Testata->state(), TableState::Browse);
    }

    void sentInvoicesAreRedWithWhiteText_data() {
        QTest::addColumn<int>("corrente");
        QTest::newRow("sent row selected") << 1;
        QTest::newRow("sent row not selected") << 3;
    }
    void sentInvoicesAreRedWithWhiteText() {
        QFETCH(int, corrente);
        vaiA(corrente);
        // Columns: id_invio (left), tot_doc (right), tipo_pag (centred).
        for (int colonna : {0, 5, 6}) {
            QVERIFY2(rossa(0, colonna), qPrintable(QString::number(colonna)));
            QVERIFY(pixelBianchi(0, colonna) >= 5);
        }
        // The white text starts 2 pixels right of and below the cell's corner.
        QRect r;
        const QImage img = cella(0, 5, r);
        for (int x = r.left(); x < r.left() + 2; ++x)
            for (int y = r.top(); y <= r.bottom(); ++y)
                QCOMPARE(img.pixelColor(x, y), QColor(255, 0, 0));
        QVERIFY(!rossa(1, 0));
        QVERIFY(!rossa(2, 0));
    }

    void sentFromOutsideTurnsRedAfterARefresh() {
        amb.diz->Testata->setAutoRefresh(200);
        QVERIFY(!rossa(2, 0));
        TestDb::esegui(amb.db, {"UPDATE testata SET inviata=1 WHERE id_invio=3"});
        QTRY_VERIFY_WITH_TIMEOUT(rossa(2, 0), 5000);
    }

    void refreshLeavesAnEditAlone() {
        amb.diz->Testata->setAutoRefresh(100);
        vaiA(2);
        clic(w()->Panel1->BitBtn11);
        DBEdit* ragSoc = w()->P4->DBEdit3;
        digita(ragSoc, "mia");
        TestDb::esegui(amb.db,
                       {"UPDATE testata SET rag_soc='ESTERNO', inviata=1 WHERE id_invio=2"});
        QTest::qWait(500);
        QCOMPARE(ragSoc->text(), QString("MIA"));
        QCOMPARE(amb.diz->Testata->state(), TableState::Edit);
        clic(w()->P4->BitBtn14);
        QTRY_COMPARE_WITH_TIMEOUT(ragSoc->text(), QString("ESTERNO"), 5000);
        QVERIFY(rossa(1, 0));
    }

    // "Stampa": an invoice without a date gives "Mancanza Dati"; one with a date opens
    // the modal preview, closed here as soon as it shows.
    void printShowsThePreviewOrMancanzaDati() {
        clic(w()->Panel1->BitBtn17);
        QCOMPARE(desk().messaggi, QStringList{"Mancanza Dati"});
        TestDb::esegui(amb.db, {"UPDATE testata SET data_doc='15/03/2023' WHERE id_invio=2"});
        amb.diz->Testata->refresh();
        vaiA(2);
        ChiudiAnteprima anteprima;
        clic(w()->Panel1->BitBtn17);
        QCOMPARE(anteprima.pagine, 1);
        QVERIFY(anteprima.larghezzaPagina && anteprima.schermoIntero);
        QCOMPARE(desk().messaggi.size(), 1);
    }
};

QTEST_MAIN(TstElencoFatt)
#include "tst_elenco_fatt.moc"
