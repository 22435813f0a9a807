#include "BancoProva.h"
#include "FakeDesktop.h"
#include "TestDb.h"
#include "widgets/DBEdit.h"
#include "widgets/DBNavigator.h"

#include <QAbstractButton>
#include <QtTest>
#include <memory>

using B = DBNavigator::Button;

// The record navigator over a real table: which buttons apply when, and what they do.
class TstWidgetsNavigator : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_widgets_navigator");
    std::unique_ptr<BancoProva> banco;
    std::unique_ptr<FakeDesktop> desktop;
    std::unique_ptr<DBNavigator> nav;

    Table& t() { return *banco->table; }

    void apri(int rows) {
        QStringList insert;
        for (int i = 1; i <= rows; ++i)
            insert << QString("INSERT INTO clienti (id, rag_soc) VALUES (%1, 'C%1')").arg(i);
        banco = std::make_unique<BancoProva>(db, "clienti", insert);
        nav = std::make_unique<DBNavigator>();
        nav->setDataSource(banco->ds.get());
    }

    void premi(B b) {
        QAbstractButton* w = nav->button(b);
        QVERIFY(w && w->isEnabled());
        QTest::mouseClick(w, Qt::LeftButton);
    }

    QString abilitati() const {
        const char* names = "FPNLIDEOCR"; // first..refresh, O = post
        QString out;
        for (int i = 0; i < 10; ++i)
            out += nav->button(B(i))->isEnabled() ? QChar(names[i]) : QChar('.');
        return out;
    }

private slots:
    void init() { desktop = std::make_unique<FakeDesktop>(); }
    void cleanup() {
        nav.reset();
        banco.reset();
        desktop.reset();
    }

    void enabledButtons_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first row") << 3 << ""
                                   << "..NLIDE..R";
        QTest::newRow("middle row") << 3 << "next"
                                    << "FPNLIDE..R";
        QTest::newRow("last row") << 3 << "last"
                                  << "FP..IDE..R";
        QTest::newRow("only row") << 1 << ""
                                  << "....IDE..R";
        QTest::newRow("editing") << 3 << "edit"
                                 << "..NLID.OCR";
        QTest::newRow("inserting") << 3 << "append"
                                   << "FP..ID.OCR";
        QTest::newRow("empty") << 0 << ""
                               << "....I.E..R";
        QTest::newRow("closed") << 3 << "close"
                                << "..........";
    }
    void enabledButtons() {
        QFETCH(int, rows);
        QFETCH(QString, action);
        QFETCH(QString, expected);
        apri(rows);
        if (action == "next")
            t().next();
        else if (action == "last")
            t().last();
        else if (action == "edit")
            t().edit();
        else if (action == "append")
            t().append();
        else if (action == "close")
            t().close();
        QCOMPARE(abilitati(), expected);
    }

    void moving() {
        apri(3);
        premi(B::Next);
        QCOMPARE(t().recNo(), 1);
        premi(B::Last);
        QCOMPARE(t().recNo(), 2);
        premi(B::Prior);
        QCOMPARE(t().recNo(), 1);
        premi(B::First);
        QCOMPARE(t().recNo(), 0);
    }

    void insertPostAndCancel() {
        apri(2);
        DBEdit e;
        e.setDataSource(banco->ds.get());
        e.setField("rag_soc");
        premi(B::Insert);
        QCOMPARE(t().state(), TableState::Insert);
        QTest::keyClicks(&e, "NUOVO");
        premi(B::Post);
        QCOMPARE(t().state(), TableState::Browse);
        QCOMPARE(banco->valore("SELECT COUNT(*) FROM clienti WHERE rag_soc = 'NUOVO'"),
                 QString("1"));
        premi(B::Edit);
        QTest::keyClicks(&e, " BIS");
        premi(B::Cancel);
        QCOMPARE(e.text(), QString("NUOVO"));
        QCOMPARE(t().state(), TableState::Browse);
        QCOMPARE(banco->valore("SELECT COUNT(*) FROM clienti"), QString("3"));
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QString>("left");
        QTest::newRow("yes") << QList<bool>{true} << "C1,C3";
        QTest::newRow("no") << QList<bool>{false} << "C1,C2,C3";
        QTest::newRow("no answer scripted") << QList<bool>{} << "C1,C2,C3";
    }
    void deleteAsksFirst() {
        QFETCH(QList<bool>, answers);
        QFETCH(QString, left);
        apri(3);
        t().next();
        desktop->risposte = answers;
        premi(B::Delete);
        QCOMPARE(desktop->domande, QStringList{"Eliminare la riga?"});
        QCOMPARE(banco->valore("SELECT GROUP_CONCAT(rag_soc ORDER BY id) FROM clienti"), left);
        QCOMPARE(t().recordCount(), left.count(',') + 1);
    }

    void refreshShowsChangesOfOthers() {
        apri(2);
        DBEdit e;
        e.setDataSource(banco->ds.get());
        e.setField("rag_soc");
        TestDb::esegui(db, {"UPDATE clienti SET rag_soc = 'CAMBIATO' WHERE id = 1"});
        QCOMPARE(e.text(), QString("C1"));
        premi(B::Refresh);
        QCOMPARE(e.text(), QString("CAMBIATO"));
    }

    void postErrorIsShownAndTheRowStaysInEditing() {
        apri(2);
        premi(B::Edit);
        t().field("rag_soc").setAsString("X");
        TestDb::esegui(db, {"DELETE FROM clienti WHERE id = 1"});
        premi(B::Post);
        QCOMPARE(desktop->messaggi,
                 QStringList{"Riga non trovata: modificata o eliminata da un altro utente"});
        QCOMPARE(t().state(), TableState::Edit);
    }

    void chosenButtonsWithItalianTips() {
        apri(1);
        nav->setButtons({B::Refresh, B::Edit, B::Post, B::Cancel});
        QCOMPARE(nav->buttons(), (QList<B>{B::Edit, B::Post, B::Cancel, B::Refresh}));
        QVERIFY(!nav->button(B::First));
        QCOMPARE(nav->findChildren<QAbstractButton*>().size(), 4);
        QStringList tips;
        nav->setButtons(DBNavigator::allButtons());
        for (B b : nav->buttons()) {
            tips << nav->button(b)->toolTip();
            QVERIFY(!nav->button(b)->text().isEmpty());
            QCOMPARE(nav->button(b)->focusPolicy(), Qt::NoFocus);
        }
        QCOMPARE(tips, (QStringList{"Primo", "Precedente", "Successivo", "Ultimo", "Inserisci",
                                    "Elimina", "Modifica", "Registra", "Annulla", "Aggiorna"}));
    }
};

QTEST_MAIN(TstWidgetsNavigator)
#include "tst_widgets_navigator.moc"
