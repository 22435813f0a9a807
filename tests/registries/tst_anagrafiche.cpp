#include "AmbienteRegistri.h"
#include "invoices/TAreaFatture.h"
#include "registries/TAnag_Cl.h"
#include "registries/TAnag_Fo.h"
#include "widgets/DBEdit.h"
#include "widgets/DBNavigator.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using B = DBNavigator::Button;

namespace {

const QStringList kClienti{
    "INSERT INTO clienti (id, rag_soc, nazione, p_iva, cod_fis, dest_soc, dest_indir, dest_comune,"
    " dest_cap) VALUES"
    " (1, 'GAMMA SNC', 'IT', '04567890126', 'RSSMRA85T10A562S', 'DEPOSITO', 'Via Po 1', 'Asti',"
    " '14100'),"
    " (2, 'ALFA SRL', 'IT', '04567890127', 'RSSMRA85T10A562T', NULL, NULL, NULL, NULL),"
    " (3, 'BETA ALFA SPA', '', '', '80012345676', NULL, NULL, NULL, NULL),"
    " (4, 'QUOTE \"X\"', 'IT', '', '80012345678', NULL, NULL, NULL, NULL),"
    " (5, 'O''BRIEN', 'DE', '123', 'XYZ', NULL, NULL, NULL, NULL),"
    " (6, 'BACK\\\\SLASH', NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
    " (7, '100% BIO', NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
    " (8, 'A_B', NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
    " (9, 'AXB', NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
    " (10, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)",
    "UPDATE clienti SET indirizzo = 'Via Roma 1', comune = 'Alba', cap = '12051', prov = 'CN',"
    " cod_dest = 'ABC1234', pec = 'alfa@pec.it' WHERE id = 2",
    "INSERT INTO fornitori (id, rag_soc, nazione, p_iva) VALUES (1, 'DELTA SPA', 'IT', "
    "'01234567897'),"
    " (2, 'EPSILON SRL', 'IT', '01234567890')",
    "INSERT INTO testata (id_invio, rag_soc, num_doc, tot_doc, inviata, dest_soc, dest_indir,"
    " dest_comune, dest_cap, aliquota) VALUES"
    " (1, 'VECCHIO', '7', '122,00', 0, 'D', 'I', 'C', '00100', '22')"};

} // namespace

// The customer and supplier registries: search, fields, keys, the customer pick from
// the invoice window and the check-digit warnings.
class TstAnagrafiche : public QObject {
    Q_OBJECT
    AmbienteRegistri amb{QStringLiteral("gfe_t_anagrafiche")};
    std::unique_ptr<TAnag_Cl> cl;
    std::unique_ptr<TAnag_Fo> fo;

    static QStringList righe(TAnagrafica* w) {
        QStringList out;
        for (int r = 0; r < w->DBGrid1->model()->rowCount(); ++r)
            out << w->DBGrid1->cellText(r, 1);
        return out;
    }
    void cerca(TAnagrafica* w, const QString& testo) {
        w->Edit1->clear();
        QTest::keyClicks(w->Edit1, testo);
    }

private slots:
    void init() {
        amb.apri({"xml_quirn.sql"}, kClienti);
        cl = std::make_unique<TAnag_Cl>(*amb.diz);
        fo = std::make_unique<TAnag_Fo>(*amb.diz);
        amb.fatture->impostaScelte(cl.get(), nullptr);
    }
    void cleanup() {
        cl.reset();
        fo.reset();
        amb.chiudi();
    }

    void searchNarrowsAndOrders() {
        TAnag_Cl* w = cl.get();
        QCOMPARE(righe(w).size(), 10); // as opened at log-in, the nameless row too
        cerca(w, "alf");
        QCOMPARE(righe(w), (QStringList{"ALFA SRL", "BETA ALFA SPA"}));
        QCOMPARE(amb.diz->Clienti->recNo(), 0);
        w->Edit1->clear();
        QCOMPARE(righe(w).size(), 9); // every row with a name
        QCOMPARE(righe(w).first(), QString("100% BIO"));
        cerca(fo.get(), "eps");
        QCOMPARE(righe(fo.get()), QStringList{"EPSILON SRL"});
    }

    void searchTextIsMatchedAsText_data() {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QStringList>("attese");
        QTest::newRow("double quote") << "\"" << QStringList{"QUOTE \"X\""};
        QTest::newRow("single quote") << "'" << QStringList{"O'BRIEN"};
        QTest::newRow("backslash") << "\\" << QStringList{"BACK\\SLASH"};
        QTest::newRow("percent") << "%" << QStringList{"100% BIO"};
        QTest::newRow("underscore") << "_" << QStringList{"A_B"};
        QTest::newRow("second statement") << "\"; DELETE FROM clienti; -- '" << QStringList{};
        QTest::newRow("escape character") << "!%" << QStringList{};
    }
    void searchTextIsMatchedAsText() {
        QFETCH(QString, testo);
        QFETCH(QStringList, attese);
        cerca(cl.get(), testo);
        QCOMPARE(righe(cl.get()), attese);
        QCOMPARE(amb.desktop.messaggi, QStringList());
        QVERIFY(amb.diz->Clienti->isOpen());
        QCOMPARE(amb.valore("SELECT COUNT(*) FROM clienti"), QString("10"));
    }

    void searchSurvivesCloseAndReopen() {
        TAnag_Cl* w = cl.get();
        QVERIFY(amb.mostra(cl.get()));
        cerca(w, "alf");
        w->close();
        QVERIFY(w->isHidden());
        amb.diz->Clienti->close(); // the statement stays in force for the next opening
        amb.diz->Clienti->open();
        QVERIFY(amb.mostra(cl.get()));
        QCOMPARE(w->Edit1->text(), QString("alf"));
        QCOMPARE(righe(w), (QStringList{"ALFA SRL", "BETA ALFA SPA"}));
        QCOMPARE(QApplication::focusWidget(), w->Edit1); // the showing focuses the search
    }

    void fieldsNavigatorsAndNew() {
        TAnag_Cl* w = cl.get();
        QCOMPARE(w->Label1->text(), QString("ANAGRAFICA CLIENTI"));
        QCOMPARE(w->DBNavigator1->buttons(),
                 (QList<B>{B::First, B::Prior, B::Next, B::Last, B::Delete, B::Edit, B::Post,
                           B::Cancel, B::Refresh}));
        QCOMPARE(fo->DBNavigator1->buttons(), DBNavigator::allButtons());
        QStringList ordine;
        for (QWidget* c : w->controlli())
            if (auto* e = qobject_cast<DBEdit*>(c))
                ordine << e->field() + ":" + QString::number(e->maxLength());
            else if (c == w->BitBtn1)
                ordine << "Nuovo";
        QCOMPARE(ordine, (QStringList{"rag_soc:60", "indirizzo:60", "cap:5", "comune:50", "prov:4",
                                      "nazione:10", "p_iva:11", "cod_fis:16", "cod_dest:7",
                                      "pec:60", "Nuovo", "dest_soc:60", "dest_indir:60",
                                      "dest_cap:5", "dest_comune:50"}));
        QCOMPARE(fo->campi.size(), 10);
        QCOMPARE(fo->campo("nazione")->maxLength(), 20);

        QVERIFY(amb.mostra(cl.get()));
        QTest::mouseClick(w->BitBtn1, Qt::LeftButton);
        QCOMPARE(amb.diz->Clienti->state(), TableState::Insert);
        QCOMPARE(QApplication::focusWidget(), w->campo("rag_soc"));
        QTest::keyClicks(w->campo("rag_soc"), "alfa srl");
        QTest::keyClicks(w->campo("pec"), "Info@Alfa.IT");
        QTest::keyClicks(w->campo("dest_soc"), "cantiere");
        QCOMPARE(w->campo("rag_soc")->text(), QString("ALFA SRL"));
        QTest::mouseClick(w->DBNavigator1->button(B::Post), Qt::LeftButton);
        QCOMPARE(amb.valore("SELECT CONCAT_WS('|', pec, dest_soc) FROM clienti WHERE id > 10"),
                 QString("info@alfa.it|CANTIERE"));
    }

    void enterMovesOnlyInTheCustomerWindow() {
        TAnag_Cl* c = cl.get();
        QVERIFY(amb.mostra(cl.get()));
        c->campo("comune")->setFocus();
        QTest::keyClick(c->campo("comune"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), c->campo("prov"));
        cl->hide();

        TAnag_Fo* f = fo.get();
        f->campo("cap")->setFocus();
        QVERIFY(amb.mostra(fo.get()));
        QCOMPARE(QApplication::focusWidget(), f->campo("cap")); // showing moves no focus
        f->campo("comune")->setFocus();
        QTest::keyClick(f->campo("comune"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f->campo("comune"));
        QVERIFY(f->isVisible());
        QCOMPARE(amb.diz->Fornitori->state(), TableState::Browse); // "Nuovo" not pressed
    }

    // From the invoice window the double click copies the fourteen columns, clearing
    // the destination the customer lacks, posts and closes; nothing else changes.
    void pickFromTheInvoiceWindow() {
        TAnag_Cl* w = cl.get();
        amb.daFatture(amb.fatture->Panel1->BitBtn3, cl.get(), [&] {
            cerca(w, "alfa srl");
            amb.doppioClic(w->DBGrid1, 0);
        });
        QVERIFY(!amb.rimastaAperta);
        QCOMPARE(amb.valore("SELECT CONCAT_WS('|', rag_soc, indirizzo, comune, cap, prov, nazione,"
                            " p_iva, cod_fis, cod_dest, pec, IFNULL(dest_soc, 'null'),"
                            " IFNULL(dest_indir, 'null'), IFNULL(dest_comune, 'null'),"
                            " IFNULL(dest_cap, 'null'), num_doc, tot_doc, inviata, aliquota)"
                            " FROM testata"),
                 QString("ALFA SRL|Via Roma 1|Alba|12051|CN|IT|04567890127|RSSMRA85T10A562T|"
                         "ABC1234|alfa@pec.it|null|null|null|null|7|122,00|0|22"));
        QCOMPARE(amb.diz->Testata->state(), TableState::Browse);

        // A sent invoice takes no customer: the one marked sent meanwhile by the web
        // application neither.
        TestDb::esegui(amb.db, {"UPDATE testata SET inviata = 1"});
        amb.daFatture(amb.fatture->Panel1->BitBtn3, cl.get(), [&] {
            cerca(w, "gamma");
            amb.doppioClic(w->DBGrid1, 0);
        });
        QCOMPARE(amb.desktop.messaggi, QStringList{"Operazione non possibile... Fattura Inviata"});
        QCOMPARE(amb.valore("SELECT rag_soc FROM testata"), QString("ALFA SRL"));
        QCOMPARE(amb.diz->Testata->state(), TableState::Browse);

        // Shown from the main menu the double click picks nothing.
        amb.fatture->hide();
        QVERIFY(amb.mostra(cl.get()));
        cerca(w, "gamma");
        amb.doppioClic(w->DBGrid1, 0);
        QVERIFY(w->isVisible());
        QCOMPARE(amb.valore("SELECT rag_soc FROM testata"), QString("ALFA SRL"));
        QCOMPARE(amb.desktop.messaggi.size(), 1);
    }

    void pickOnAnEmptyGridOrIntoAnEmptyInvoiceTable() {
        TAnag_Cl* w = cl.get();
        amb.daFatture(amb.fatture->Panel1->BitBtn3, cl.get(), [&] {
            cerca(w, "nessuno");
            amb.doppioClic(w->DBGrid1, -1);
        });
        QVERIFY(amb.rimastaAperta);
        QCOMPARE(amb.valore("SELECT rag_soc FROM testata"), QString("VECCHIO"));

        TestDb::esegui(amb.db, {"DELETE FROM testata"});
        amb.diz->Testata->refresh();
        amb.daFatture(amb.fatture->Panel1->BitBtn3, cl.get(), [&] {
            cerca(w, "gamma");
            amb.doppioClic(w->DBGrid1, 0);
        });
        QVERIFY(!amb.rimastaAperta);
        QCOMPARE(amb.valore("SELECT CONCAT_WS('|', COUNT(*), MAX(rag_soc), MAX(dest_comune),"
                            " MAX(tipo_doc), MAX(mod_pag)) FROM testata"),
                 QString("1|GAMMA SNC|Asti|TD01|MP01"));
    }

    void checkDigitWarnings_data() {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("iva");
        QTest::addColumn<QString>("cf");
        QTest::newRow("both valid") << "GAMMA SNC"
                                    << ""
                                    << "";
        QTest::newRow("both wrong") << "ALFA SRL"
                                    << "Partita IVA non valida"
                                    << "Codice fiscale non valido";
        QTest::newRow("company code, no country") << "BETA ALFA SPA"
                                                  << ""
                                                  << "";
        QTest::newRow("company code wrong") << "QUOTE \"X\""
                                            << ""
                                            << "Codice fiscale non valido";
        QTest::newRow("foreign") << "O'BRIEN"
                                 << ""
                                 << "";
        QTest::newRow("empty") << "A_B"
                               << ""
                               << "";
    }
    void checkDigitWarnings() {
        QFETCH(QString, nome);
        QFETCH(QString, iva);
        QFETCH(QString, cf);
        TAnag_Cl* w = cl.get();
        QVERIFY(amb.diz->Clienti->locate("rag_soc", nome));
        QCOMPARE(w->avvisoPartitaIva->text(), iva);
        QCOMPARE(w->avvisoCodiceFiscale->text(), cf);
        QCOMPARE(w->avvisoPartitaIva->palette().color(QPalette::WindowText), QColor(200, 0, 0));
    }

    void warningsFollowTheTyping() {
        QVERIFY(amb.diz->Clienti->locate("rag_soc", "GAMMA SNC"));
        DBEdit* cf = cl->campo("cod_fis");
        cf->selectAll();
        QTest::keyClicks(cf, "RSSMRA85T10A562");
        QCOMPARE(cl->avvisoCodiceFiscale->text(), QString("Codice fiscale non valido"));
        QTest::keyClicks(cf, "S");
        QCOMPARE(cl->avvisoCodiceFiscale->text(), QString());
        TAnag_Fo* f = fo.get();
        QVERIFY(amb.diz->Fornitori->locate("rag_soc", "EPSILON SRL"));
        QCOMPARE(f->avvisoPartitaIva->text(), QString("Partita IVA non valida"));
        QVERIFY(amb.diz->Fornitori->locate("rag_soc", "DELTA SPA"));
        QCOMPARE(f->avvisoPartitaIva->text(), QString());
    }
};

QTEST_MAIN(TstAnagrafiche)
#include "tst_anagrafiche.moc"
