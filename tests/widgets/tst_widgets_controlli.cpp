#include "BancoProva.h"
#include "FakeDesktop.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/EnterAsTab.h"
#include "widgets/MaskEdit.h"

#include <QClipboard>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(DBEdit::CharCase)

// Edit fields, masked fields, combo boxes and check boxes bound to a real table.
class TstWidgetsControlli : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_widgets_controlli");
    std::unique_ptr<BancoProva> banco;
    std::unique_ptr<FakeDesktop> desktop;

    void apri(const QString& tableName, const QStringList& rows) {
        banco = std::make_unique<BancoProva>(db, tableName, rows);
    }
    void apriClienti() {
        apri("clienti", {"INSERT INTO clienti (id, rag_soc, cap, pec) VALUES "
                         "(1, 'Alfa', '00100', 'a@alfa.it'), (2, 'Beta', '20100', NULL)"});
    }
    Table& t() { return *banco->table; }

private slots:
    void init() { desktop = std::make_unique<FakeDesktop>(); }
    void cleanup() {
        banco.reset();
        desktop.reset();
    }

    void typingStartsEditAndWrites_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<DBEdit::CharCase>("charCase");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("as typed") << "rag_soc" << DBEdit::CharCase::Normal << " Srl"
                                  << "Alfa Srl";
        QTest::newRow("upper") << "rag_soc" << DBEdit::CharCase::Upper << " srl è"
                               << "Alfa SRL È";
        QTest::newRow("lower") << "pec" << DBEdit::CharCase::Lower << "X.IT"
                               << "a@alfa.itx.it";
    }
    void typingStartsEditAndWrites() {
        QFETCH(QString, field);
        QFETCH(DBEdit::CharCase, charCase);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        apriClienti();
        DBEdit e;
        e.setDataSource(banco->ds.get());
        e.setField(field);
        e.setCharCase(charCase);
        e.end(false);
        // Non-ASCII letters go one by one as key events.
        for (const QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, &e, Qt::Key_unknown, c, Qt::NoModifier);
        QCOMPARE(t().state(), TableState::Edit);
        QCOMPARE(e.text(), expected);
        QCOMPARE(t().field(field).asString(), expected);
        t().post();
        QCOMPARE(banco->valore("SELECT " + field + " FROM clienti WHERE id = 1"), expected);
        QVERIFY(desktop->messaggi.isEmpty());
    }

    void pasteIsForcedToo() {
        apriClienti();
        DBEdit e;
        e.setDataSource(banco->ds.get());
        e.setField("rag_soc");
        e.setCharCase(DBEdit::CharCase::Upper);
        e.clear();
        QApplication::clipboard()->setText("gamma spa");
        QTest::keySequence(&e, QKeySequence::Paste);
        QCOMPARE(t().field("rag_soc").asString(), QString("GAMMA SPA"));
    }

    void maximumLengthFromTheColumn_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("expected");
        QTest::newRow("cap") << "cap" << 5 << "12345";
        QTest::newRow("prov") << "prov" << 4 << "1234";
        QTest::newRow("rag_soc") << "rag_soc" << 60 << "1234567";
    }
    void maximumLengthFromTheColumn() {
        QFETCH(QString, field);
        QFETCH(int, size);
        QFETCH(QString, expected);
        apriClienti();
        DBEdit e;
        e.setDataSource(banco->ds.get());
        e.setField(field);
        QCOMPARE(e.maxLength(), size);
        e.selectAll();
        QTest::keyClicks(&e, "1234567");
        QCOMPARE(t().field(field).asString(), expected);
    }

    void followsTheTableRow() {
        apriClienti();
        DBEdit e;
        e.setDataSource(banco->ds.get());
        e.setField("rag_soc");
        QCOMPARE(e.text(), QString("Alfa"));
        t().next();
        QCOMPARE(e.text(), QString("Beta"));
        t().edit();
        t().field("rag_soc").setAsString("Beta due");
        QCOMPARE(e.text(), QString("Beta due"));
        t().cancel();
        QCOMPARE(e.text(), QString("Beta"));
        t().close();
        QCOMPARE(e.text(), QString());
        QVERIFY(e.isReadOnly());
    }

    void readOnlyLeavesTheRowAlone() {
        apriClienti();
        DBEdit e;
        e.setDataSource(banco->ds.get());
        e.setField("rag_soc");
        e.setReadOnly(true);
        QTest::keyClicks(&e, "xyz");
        QCOMPARE(e.text(), QString("Alfa"));
        QCOMPARE(t().state(), TableState::Browse);
        t().next(); // stays read only whatever the row
        QVERIFY(e.isReadOnly());
    }

    void emptyTableStartsANewRow() {
        apri("clienti", {});
        DBEdit nome, cap;
        nome.setDataSource(banco->ds.get());
        nome.setField("rag_soc");
        cap.setDataSource(banco->ds.get());
        cap.setField("cap");
        QTest::keyClicks(&nome, "Nuovo");
        QCOMPARE(t().state(), TableState::Insert);
        QCOMPARE(nome.text(), QString("Nuovo"));
        QTest::keyClicks(&cap, "35100");
        t().post();
        QCOMPARE(banco->valore("SELECT CONCAT(rag_soc, '/', cap) FROM clienti"),
                 QString("Nuovo/35100"));
    }

    void numberTypedWrongIsReportedOnLeaving() {
        apri("testata", {"INSERT INTO testata (id_invio, n_rate) VALUES (1, 2)"});
        DBEdit e;
        e.setDataSource(banco->ds.get());
        e.setField("n_rate");
        e.selectAll();
        QTest::keyClicks(&e, "3");
        QCOMPARE(t().field("n_rate").asInteger(), 3);
        QTest::keyClicks(&e, "x"); // half typed: no message yet, the field keeps 3
        QVERIFY(desktop->messaggi.isEmpty());
        QCOMPARE(t().field("n_rate").asInteger(), 3);
        QTest::keyClick(&e, Qt::Key_Return);
        QCOMPARE(desktop->messaggi, QStringList{"'3x' non è un valore intero valido"});
        QTest::keyClick(&e, Qt::Key_Backspace);
        QTest::keyClick(&e, Qt::Key_Return);
        QCOMPARE(desktop->messaggi.size(), 1);
        QCOMPARE(t().field("n_rate").asInteger(), 3);
    }

    void maskedDueDate_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("whole date") << "010323"
                                    << "01/03/23"
                                    << "01/03/23";
        QTest::newRow("day and month") << "0103"
                                       << "01/03/"
                                       << "01/03/__";
        QTest::newRow("letters refused") << "a1b2"
                                         << "12//"
                                         << "12/__/__";
    }
    void maskedDueDate() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        apri("testata", {"INSERT INTO testata (id_invio, scad1) VALUES (1, NULL)"});
        DBEdit e;
        e.setDataSource(banco->ds.get());
        e.setField("scad1");
        e.setEditMask("!99/99/00;1;_");
        QCOMPARE(e.displayText(), QString("__/__/__"));
        e.home(false);
        QTest::keyClicks(&e, typed);
        QCOMPARE(e.displayText(), shown);
        QCOMPARE(t().field("scad1").asString(), stored);
        t().post();
        QCOMPARE(banco->valore("SELECT scad1 FROM testata"), stored);
    }

    void maskedFieldShowsTheStoredDate() {
        apri("testata",
             {"INSERT INTO testata (id_invio, scad1) VALUES (1, '15/04/24'), (2, NULL)"});
        DBEdit e;
        e.setDataSource(banco->ds.get());
        e.setField("scad1");
        e.setEditMask("!99/99/00;1;_");
        QCOMPARE(e.displayText(), QString("15/04/24"));
        t().next();
        QCOMPARE(e.displayText(), QString("__/__/__"));
        QCOMPARE(t().state(), TableState::Browse);
    }

    void unboundMaskEdit_data() {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value");
        QTest::newRow("date") << "!99/99/00;1;_"
                              << "311223"
                              << "31/12/23"
                              << "31/12/23"
                              << "31/12/23";
        QTest::newRow("half typed") << "!99/99/00;1;_"
                                    << "31122"
                                    << "31/12/2_"
                                    << "31/12/2"
                                    << "31/12/2";
        QTest::newRow("nothing") << "!99/99/00;1;_"
                                 << ""
                                 << "__/__/__"
                                 << "//"
                                 << "";
        QTest::newRow("no literals") << "99/99/00;0;*"
                                     << "311223"
                                     << "31/12/23"
                                     << "31/12/23"
                                     << "311223";
        QTest::newRow("letters") << ">LL-00;1;_"
                                 << "ab12"
                                 << "AB-12"
                                 << "AB-12"
                                 << "AB-12";
    }
    void unboundMaskEdit() {
        QFETCH(QString, mask);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, text);
        QFETCH(QString, value);
        MaskEdit m;
        m.setEditMask(mask);
        QTest::keyClicks(&m, typed);
        QCOMPARE(m.displayText(), shown);
        QCOMPARE(m.text(), text);
        QCOMPARE(m.value(), value);
    }

    void editableComboTakesTypedAndPickedValues() {
        apri("testata", {"INSERT INTO testata (id_invio, tipo_pag) VALUES (1, 'TP02')"});
        DBComboBox c;
        c.setItems({"TP01", "TP02"});
        c.setDataSource(banco->ds.get());
        c.setField("tipo_pag");
        QVERIFY(c.isEditable());
        QCOMPARE(c.currentText(), QString("TP02"));
        c.lineEdit()->selectAll();
        QTest::keyClicks(c.lineEdit(), "XY123");
        QCOMPARE(t().state(), TableState::Edit);
        QCOMPARE(t().field("tipo_pag").asString(), QString("XY12")); // text 4
        emit c.activated(0);
        QCOMPARE(t().field("tipo_pag").asString(), QString("TP01"));
        t().cancel();
        QCOMPARE(c.currentText(), QString("TP02"));
    }

    void dropDownListOnlyPicks() {
        apri("testata", {"INSERT INTO testata (id_invio, mod_pag) VALUES (1, 'MP01'), (2, 'ZZ')"});
        DBComboBox c;
        c.setStyle(DBComboBox::Style::DropDownList);
        c.setItems({"MP01", "MP02", "MP05"});
        c.setDataSource(banco->ds.get());
        c.setField("mod_pag");
        QVERIFY(!c.isEditable());
        QCOMPARE(c.currentIndex(), 0);
        QTest::keyClick(&c, Qt::Key_Down);
        QCOMPARE(t().field("mod_pag").asString(), QString("MP02"));
        t().next(); // posts; a value not in the list shows nothing
        QCOMPARE(c.currentIndex(), -1);
        QCOMPARE(banco->valore("SELECT mod_pag FROM testata WHERE id_invio = 1"), QString("MP02"));
    }

    void checkBoxWritesOneAndZero() {
        apri("testata", {"INSERT INTO testata (id_invio, inviata) VALUES (1, 0), (2, 1)"});
        DBCheckBox c("Inviata");
        c.resize(c.sizeHint());
        c.setDataSource(banco->ds.get());
        c.setField("inviata");
        QVERIFY(!c.isChecked());
        QTest::mouseClick(&c, Qt::LeftButton);
        QCOMPARE(t().state(), TableState::Edit);
        t().next();
        QVERIFY(c.isChecked());
        QTest::mouseClick(&c, Qt::LeftButton);
        t().post();
        QCOMPARE(banco->valore("SELECT GROUP_CONCAT(inviata ORDER BY id_invio) FROM testata"),
                 QString("1,0"));
    }

    void enterMovesLikeTab() {
        apriClienti();
        QDialog form;
        auto* a = new DBEdit(&form);
        auto* b = new DBEdit(&form);
        auto* ok = new QPushButton("OK", &form);
        a->setGeometry(0, 0, 100, 20);
        b->setGeometry(0, 30, 100, 20);
        ok->setGeometry(0, 60, 100, 20);
        ok->setDefault(true);
        a->setDataSource(banco->ds.get());
        a->setField("rag_soc");
        b->setDataSource(banco->ds.get());
        b->setField("cap");
        QSignalSpy pressed(ok, &QPushButton::clicked);
        EnterAsTab::install(&form);
        EnterAsTab::install(&form); // once is enough
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        a->setFocus();
        QTest::keyClick(a, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), b);
        QTest::keyClick(b, Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(ok, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), b);
        QCOMPARE(pressed.count(), 0);
        QVERIFY(form.isVisible());
        QCOMPARE(t().state(), TableState::Browse);
    }
};

QTEST_MAIN(TstWidgetsControlli)
#include "tst_widgets_controlli.moc"
