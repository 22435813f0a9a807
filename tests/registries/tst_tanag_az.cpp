#include "FakeDesktop.h"
#include "TestDb.h"
#include "data/TDiz.h"
#include "registries/Tanag_az.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBNavigator.h"

#include <QAbstractButton>
#include <QLabel>
#include <QtTest>
#include <memory>

using B = DBNavigator::Button;

// The company data window over a per-test copy of the invoice database.
class TstTanagAz : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_tanag_az");
    std::unique_ptr<FakeDesktop> desktop;
    std::unique_ptr<TDiz> diz;
    std::unique_ptr<Tanag_az> w;

    void apri(const QStringList& rows) {
        TestDb::ricrea(db, {"xml_quirn.sql"});
        if (!rows.isEmpty()) TestDb::esegui(db, rows);
        diz = std::make_unique<TDiz>();
        TestDb::punta(*diz->xml_conn, db);
        w = std::make_unique<Tanag_az>(*diz);
        diz->AziendaT->open();
    }
    void apriUnaRiga() {
        apri({"INSERT INTO azienda (codice, rag_soc, comune, mail, soc_uni) VALUES "
              "(1, 'Quirn Srl', 'Padova', 'info@quirn.it', 'SU')"});
    }
    Table& az() { return *diz->AziendaT; }
    QString valore(const QString& select) { return TestDb::valore(db, select); }
    void premi(B b) {
        QVERIFY(w->DBNavigator1->button(b)->isEnabled());
        QTest::mouseClick(w->DBNavigator1->button(b), Qt::LeftButton);
    }

private slots:
    void init() { desktop = std::make_unique<FakeDesktop>(); }
    void cleanup() {
        w.reset();
        diz.reset();
        desktop.reset();
    }

    void controlsInTabOrder() {
        apriUnaRiga();
        QStringList colonne, etichette;
        for (QWidget* c : w->controlli()) {
            if (auto* e = qobject_cast<DBEdit*>(c))
                colonne << e->field();
            else if (auto* cb = qobject_cast<DBComboBox*>(c))
                colonne << cb->field();
            else
                colonne << "-";
            if (auto* l = w->findChild<QLabel*>("etichetta_" + colonne.last()))
                etichette << l->text();
        }
        QCOMPARE(colonne,
                 (QStringList{"rag_soc", "indirizzo", "cap", "comune", "prov", "nazione", "p_iva",
                              "cod_fis", "mail", "telefono", "uff_rea", "num_rea", "reg_fisc",
                              "capit_soc", "soc_uni", "stato_liq", "-", "path", "iban"}));
        QCOMPARE(etichette,
                 (QStringList{"Ragione Sociale", "Indirizzo", "CAP", "Comune", "Prov", "Nazione",
                              "Partita Iva", "Codice Fiscale", "E Mail", "Telefono", "Ufficio REA",
                              "Num. REA", "Regime Fiscale", "Capitale Sociale", "Socio Unico",
                              "Stato in Liquidazione", "Path", "Iban"}));
        // Tab walks the fields in that order, skipping the navigator.
        QList<QWidget*> attesi = w->controlli();
        attesi.removeOne(w->DBNavigator1);
        QList<QWidget*> visitati{w->DBEdit1};
        for (QWidget* c = w->DBEdit1->nextInFocusChain(); c != w->DBEdit1;
             c = c->nextInFocusChain())
            if (attesi.contains(c)) visitati << c;
        QCOMPARE(visitati, attesi);
        QCOMPARE(w->Label1->text(), QString("D A T I   A Z I E N D A"));
        QCOMPARE(w->DBNavigator1->buttons(), (QList<B>{B::Edit, B::Post, B::Cancel, B::Refresh}));
    }

    void showsTheRow() {
        apriUnaRiga();
        QCOMPARE(w->DBEdit1->text(), QString("Quirn Srl"));
        QCOMPARE(w->DBEdit4->text(), QString("Padova"));
        QCOMPARE(w->DBEdit15->text(), QString("info@quirn.it"));
        QCOMPARE(w->DBComboBox2->currentText(), QString("SU"));
        QCOMPARE(w->DBComboBox1->currentText(), QString());
    }

    void maximumLengths_data() {
        QTest::addColumn<QString>("colonna");
        QTest::addColumn<int>("lunghezza");
        const QList<std::pair<const char*, int>> sizes = {
            {"rag_soc", 60}, {"indirizzo", 60}, {"cap", 5},     {"comune", 50},
            {"prov", 4},     {"nazione", 10},   {"p_iva", 11},  {"cod_fis", 16},
            {"mail", 60},    {"telefono", 12},  {"uff_rea", 4}, {"num_rea", 8},
            {"reg_fisc", 4}, {"capit_soc", 10}, {"path", 40},   {"iban", 27}};
        for (const auto& [c, n] : sizes)
            QTest::newRow(c) << QString(c) << n;
    }
    void maximumLengths() {
        QFETCH(QString, colonna);
        QFETCH(int, lunghezza);
        apriUnaRiga();
        auto* e = w->findChild<DBEdit*>(colonna);
        QVERIFY(e);
        QCOMPARE(e->maxLength(), lunghezza);
        QCOMPARE(e->charCase(), DBEdit::CharCase::Normal); // letters stay as typed
    }

    void editAndPost() {
        apriUnaRiga();
        w->DBEdit2->clear();
        QTest::keyClicks(w->DBEdit2, "Via Roma 1");
        QCOMPARE(az().state(), TableState::Edit);
        QTest::keyClicks(w->DBEdit15, "X");
        w->DBComboBox1->lineEdit()->selectAll();
        QTest::keyClicks(w->DBComboBox1->lineEdit(), "LS");
        premi(B::Post);
        QCOMPARE(az().state(), TableState::Browse);
        QCOMPARE(valore("SELECT CONCAT_WS('|', indirizzo, mail, stato_liq) FROM azienda"),
                 QString("Via Roma 1|info@quirn.itX|LS"));
        QVERIFY(!w->DBNavigator1->button(B::Post)->isEnabled());
    }

    void cancelDropsTheChanges() {
        apriUnaRiga();
        QTest::keyClicks(w->DBEdit1, " Bis");
        QTest::keyClicks(w->DBComboBox2->lineEdit(), "M");
        premi(B::Cancel);
        QCOMPARE(w->DBEdit1->text(), QString("Quirn Srl"));
        QCOMPARE(w->DBComboBox2->currentText(), QString("SU"));
        QCOMPARE(valore("SELECT rag_soc FROM azienda"), QString("Quirn Srl"));
    }

    void editButtonAndRefresh() {
        apriUnaRiga();
        premi(B::Edit);
        QCOMPARE(az().state(), TableState::Edit);
        premi(B::Cancel);
        TestDb::esegui(db, {"UPDATE azienda SET path = 'C:\\\\xml\\\\' WHERE codice = 1"});
        premi(B::Refresh);
        QCOMPARE(w->DBEdit13->text(), QString("C:\\xml\\"));
    }

    void emptyTableStartsANewRow() {
        apri({});
        QCOMPARE(w->DBEdit1->text(), QString());
        QTest::keyClicks(w->DBEdit4, "Roma");
        QCOMPARE(az().state(), TableState::Insert);
        QTest::keyClicks(w->DBEdit7, "01234567890");
        premi(B::Post);
        QCOMPARE(valore("SELECT CONCAT_WS('|', COUNT(*), MAX(comune), MAX(p_iva)) FROM azienda"),
                 QString("1|Roma|01234567890"));
    }

    void severalRowsShowOnlyTheFirst() {
        apri({"INSERT INTO azienda (codice, rag_soc) VALUES (1, 'Prima'), (2, 'Seconda')"});
        QCOMPARE(w->DBEdit1->text(), QString("Prima"));
        QTest::keyClicks(w->DBEdit1, "!");
        premi(B::Post);
        QCOMPARE(valore("SELECT GROUP_CONCAT(rag_soc ORDER BY codice) FROM azienda"),
                 QString("Prima!,Seconda"));
        QCOMPARE(az().recNo(), 0);
    }

    void closingKeepsThePendingEdit() {
        apriUnaRiga();
        w->show();
        QTest::keyClicks(w->DBEdit3, "35100");
        w->close();
        QVERIFY(w->isHidden());
        QCOMPARE(az().state(), TableState::Edit);
        QCOMPARE(az().field("cap").asString(), QString("35100"));
        w->show();
        QCOMPARE(w->DBEdit3->text(), QString("35100"));
        QCOMPARE(valore("SELECT cap FROM azienda"), QString("<null>"));
    }

    void postErrorKeepsEditing() {
        apriUnaRiga();
        QTest::keyClicks(w->DBEdit1, "!");
        TestDb::esegui(db, {"DELETE FROM azienda"});
        premi(B::Post);
        QCOMPARE(desktop->messaggi,
                 QStringList{"Riga non trovata: modificata o eliminata da un altro utente"});
        QCOMPARE(az().state(), TableState::Edit);
        QVERIFY(w->DBNavigator1->button(B::Cancel)->isEnabled());
    }
};

QTEST_MAIN(TstTanagAz)
#include "tst_tanag_az.moc"
