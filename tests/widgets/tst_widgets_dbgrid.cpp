#include "BancoProva.h"
#include "FakeDesktop.h"
#include "TestDb.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DataSourceModel.h"
#include "widgets/EnterAsTab.h"

#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

// The data-bound grid over a real table: following the table, moving it, editing in
// place, drawing and size.
class TstWidgetsDbgrid : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_widgets_dbgrid");
    std::unique_ptr<BancoProva> banco;
    std::unique_ptr<FakeDesktop> desktop;

    Table& t() { return *banco->table; }

    void apriTestata() {
        banco = std::make_unique<BancoProva>(
            db, "testata",
            QStringList{
                "INSERT INTO testata (id_invio, rag_soc, tipo_doc, tipo_pag, inviata) VALUES "
                "(1, 'ALFA', 'TD01', 'TP02', 0), (2, 'BETA', 'TD04', 'TP01', 1), "
                "(3, 'GAMMA', 'TD01', 'TP02', 0)"});
    }

    // A grid of invoices with the key, the customer and the payment terms.
    std::unique_ptr<DBGrid> griglia() {
        auto g = std::make_unique<DBGrid>();
        g->addColumn("id_invio", "Id. Invio", 59);
        g->addColumn("rag_soc", "Ragione Sociale", 120);
        g->addColumn("tipo_pag", "Tipo Pag.", 70, Qt::AlignCenter).pickList = {"TP01", "TP02"};
        g->setDataSource(banco->ds.get());
        g->resize(400, 200);
        return g;
    }

    static QPoint centro(const DBGrid& g, int row, int column) {
        return g.visualRect(g.model()->index(row, column)).center();
    }

    void mostra(QWidget& w) {
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

private slots:
    void init() { desktop = std::make_unique<FakeDesktop>(); }
    void cleanup() {
        banco.reset();
        desktop.reset();
    }

    void columnsAndTexts() {
        apriTestata();
        auto g = griglia();
        auto& tipo = g->addColumn("tipo_doc", "Tipo Doc.");
        tipo.titleAlignment = Qt::AlignCenter;
        QCOMPARE(g->columnCount(), 4);
        QCOMPARE(g->columnWidth(0), 59);
        const int digit = QFontMetrics(g->font()).horizontalAdvance('0');
        const int title =
            QFontMetrics(g->horizontalHeader()->font()).horizontalAdvance("Tipo Doc.");
        QCOMPARE(g->columnWidth(3), std::max(4 * digit + 4, title + 4));
        QAbstractItemModel* m = g->model();
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QString("Ragione Sociale"));
        QCOMPARE(m->headerData(3, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignCenter));
        QCOMPARE(m->data(m->index(1, 2), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        QCOMPARE(g->cellText(1, 1), QString("BETA"));
        QCOMPARE(g->cellText(2, tipo), QString("TD01"));
        // Widths stay when rows come and go.
        g->setColumnWidth(1, 77);
        t().append();
        t().cancel();
        QCOMPARE(g->columnWidth(1), 77);
        QCOMPARE(g->columnWidth(0), 59);
    }

    void withoutColumnsShowsEveryField() {
        apriTestata();
        DBGrid g;
        g.setDataSource(banco->ds.get());
        QCOMPARE(g.columnCount(), t().columnCount());
        QCOMPARE(g.model()->headerData(1, Qt::Horizontal).toString(), QString("rag_soc"));
        t().close();
        QCOMPARE(g.columnCount(), 0);
        QCOMPARE(g.model()->rowCount(), 0);
    }

    void followsTheTable() {
        apriTestata();
        auto g = griglia();
        g->setRowSelect(true);
        g->setAlwaysShowSelection(true);
        QCOMPARE(g->currentIndex().row(), 0);
        t().last();
        QCOMPARE(g->currentIndex().row(), 2);
        QVERIFY(g->selectionModel()->isRowSelected(2, QModelIndex()));
        t().prior();
        QCOMPARE(g->currentIndex().row(), 1);
        t().edit();
        t().field("rag_soc").setAsString("BETA BIS");
        QCOMPARE(g->cellText(1, 1), QString("BETA BIS"));
        QCOMPARE(g->model()->headerData(1, Qt::Vertical).toString(), QString("\u270E"));
        t().cancel();
        QCOMPARE(g->cellText(1, 1), QString("BETA"));
        QCOMPARE(g->model()->headerData(1, Qt::Vertical).toString(), QString("\u25B8"));
    }

    // A refresh tells the grid of the rows it changed, never with a reset; the grid
    // stays on the same invoice.
    void refreshTellsOnlyTheChangedRows() {
        apriTestata();
        t().setOrderBy({"id_invio"});
        t().close();
        t().open();
        auto g = griglia();
        QVERIFY(t().locate("id_invio", 2));
        QAbstractItemModel* m = g->model();
        QSignalSpy reset(m, &QAbstractItemModel::modelReset);
        QSignalSpy changed(m, &QAbstractItemModel::dataChanged);
        QSignalSpy inserted(m, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(m, &QAbstractItemModel::rowsRemoved);
        t().refresh();
        QCOMPARE(reset.count() + changed.count() + inserted.count() + removed.count(), 0);
        TestDb::esegui(db, {"UPDATE testata SET rag_soc = 'GAMMA BIS' WHERE id_invio = 3",
                            "DELETE FROM testata WHERE id_invio = 1",
                            "INSERT INTO testata (id_invio, rag_soc) VALUES (4, 'DELTA')"});
        t().refresh();
        QCOMPARE(reset.count(), 0);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toModelIndex().row(),
                 changed.first().at(1).toModelIndex().row()); // one row
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(g->cellText(0, 1), QString("BETA"));
        QCOMPARE(g->cellText(1, 1), QString("GAMMA BIS"));
        QCOMPARE(g->cellText(2, 1), QString("DELTA"));
        QCOMPARE(g->currentIndex().row(), 0);
        QCOMPARE(t().recNo(), 0);
    }

    // The lines of the current invoice are read again at each refresh of the headers:
    // unchanged, their grid is told nothing (and paints nothing); changed, it shows them.
    void refreshOfTheHeadersRepaintsUnchangedLinesNot() {
        apriTestata();
        TestDb::esegui(db, {"INSERT INTO dettaglio (id_invio, prog, descrizione) VALUES "
                            "(1, 1, 'VITI'), (1, 2, 'BULLONI')"});
        Table righe(&banco->conn, "dettaglio");
        righe.setMaster(banco->ds.get(), {"id_invio"}, {"id_invio"});
        righe.open();
        DataSource righeDs(&righe);
        DBGrid g;
        g.addColumn("descrizione", "Descrizione", 120);
        g.setDataSource(&righeDs);
        mostra(g);
        QAbstractItemModel* m = g.model();
        QSignalSpy reset(m, &QAbstractItemModel::modelReset);
        QSignalSpy changed(m, &QAbstractItemModel::dataChanged);
        QSignalSpy header(m, &QAbstractItemModel::headerDataChanged);
        t().refresh();
        QCOMPARE(reset.count(), 0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(header.count(), 0);
        TestDb::esegui(db, {"UPDATE dettaglio SET descrizione = 'DADI' WHERE prog = 2"});
        t().refresh();
        QCOMPARE(g.cellText(1, 0), QString("DADI"));
        QCOMPARE(g.currentIndex().row(), 0);
    }

    void clickingARowMovesTheTable() {
        apriTestata();
        auto g = griglia();
        mostra(*g);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(*g, 2, 1));
        QCOMPARE(t().recNo(), 2);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(*g, 0, 0));
        QCOMPARE(t().recNo(), 0);
        QCOMPARE(t().state(), TableState::Browse);
    }

    void editingInPlacePostsOnAnotherRow() {
        apriTestata();
        auto g = griglia();
        mostra(*g);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(*g, 0, 1));
        QTest::keyClick(g.get(), 'Z'); // opens the editor with the key
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        QCOMPARE(editor->maxLength(), 60);
        QTest::keyClicks(editor, "eta");
        QCOMPARE(t().state(), TableState::Edit);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(*g, 2, 1));
        QCOMPARE(t().recNo(), 2);
        QCOMPARE(t().state(), TableState::Browse);
        QCOMPARE(banco->valore("SELECT rag_soc FROM testata WHERE id_invio = 1"), QString("Zeta"));
        QCOMPARE(g->cellText(0, 1), QString("Zeta"));
        QCOMPARE(g->currentIndex().row(), 2);
    }

    void openingAnEditorWithoutTypingChangesNothing() {
        apriTestata();
        auto g = griglia();
        mostra(*g);
        g->edit(g->model()->index(0, 1));
        QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(*g, 1, 1));
        QCOMPARE(t().recNo(), 1);
        QCOMPARE(t().state(), TableState::Browse);
    }

    void failedPostKeepsTheRow() {
        apriTestata();
        auto g = griglia();
        mostra(*g);
        t().edit();
        t().field("rag_soc").setAsString("PERSA");
        TestDb::esegui(db, {"DELETE FROM testata WHERE id_invio = 1"}); // another program
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(*g, 2, 1));
        QCOMPARE(desktop->messaggi,
                 QStringList{"Riga non trovata: modificata o eliminata da un altro utente"});
        QCOMPARE(t().recNo(), 0);
        QTRY_COMPARE(g->currentIndex().row(), 0);
    }

    void pickListEditor() {
        apriTestata();
        auto g = griglia();
        mostra(*g);
        g->edit(g->model()->index(0, 2));
        auto* combo = g->viewport()->findChild<QComboBox*>();
        QVERIFY(combo);
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QString("TP01"));
        QCOMPARE(combo->currentText(), QString("TP02"));
        combo->setCurrentIndex(0);
        emit combo->activated(0); // picked from the list: written at once
        QCOMPARE(t().state(), TableState::Edit);
        QCOMPARE(t().field("tipo_pag").asString(), QString("TP01"));
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), "TX99"); // any other value is taken too
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(*g, 2, 1));
        QCOMPARE(banco->valore("SELECT tipo_pag FROM testata WHERE id_invio = 1"), QString("TX99"));
    }

    void readOnlyGridAndColumns() {
        apriTestata();
        auto g = griglia();
        mostra(*g);
        QVERIFY(g->model()->flags(g->model()->index(0, 1)) & Qt::ItemIsEditable);
        g->setReadOnly(true);
        QVERIFY(!(g->model()->flags(g->model()->index(0, 1)) & Qt::ItemIsEditable));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, centro(*g, 0, 1));
        QTest::keyClick(g.get(), Qt::Key_X);
        QCOMPARE(QApplication::focusWidget(), g.get());
        QCOMPARE(t().state(), TableState::Browse);
        g->setReadOnly(false);
        DBGridColumn& c = g->column(1);
        c.readOnly = true;
        QVERIFY(!(g->model()->flags(g->model()->index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(g->model()->flags(g->model()->index(0, 2)) & Qt::ItemIsEditable);
    }

    void escapeCancelsTheEdit() {
        apriTestata();
        auto g = griglia();
        mostra(*g);
        t().edit();
        t().field("rag_soc").setAsString("NO");
        QTest::keyClick(g.get(), Qt::Key_Escape);
        QCOMPARE(t().state(), TableState::Browse);
        QCOMPARE(g->cellText(0, 1), QString("ALFA"));
    }

    void painterDrawsAfterTheGrid() {
        apriTestata();
        auto g = griglia();
        g->column(1).color = QColor(0, 0, 255);
        QList<int> rows;
        g->setCellPainter([&](QPainter* p, const QRect& r, int row, const DBGridColumn& c) {
            rows << row;
            if (t().value(row, t().fieldIndex("inviata")).toInt() != 1) return;
            p->fillRect(r, Qt::red);
            p->setPen(Qt::white);
            p->drawText(r.topLeft() + QPoint(2, 2 + p->fontMetrics().ascent()),
                        g->cellText(row, c));
        });
        g->setCurrentIndex(g->model()->index(2, 0));
        const QImage img = g->grab().toImage();
        const QPoint offset = g->viewport()->mapTo(g.get(), QPoint(0, 0));
        const QRect sent = g->visualRect(g->model()->index(1, 1)).translated(offset);
        const QRect other = g->visualRect(g->model()->index(0, 1)).translated(offset);
        QCOMPARE(img.pixelColor(sent.right() - 2, sent.bottom() - 2), QColor(Qt::red));
        QCOMPARE(img.pixelColor(other.right() - 2, other.bottom() - 2), QColor(0, 0, 255));
        QVERIFY(rows.contains(0) && rows.contains(1) && rows.contains(2));
    }

    void selectionWithoutFocus_data() {
        QTest::addColumn<bool>("always");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("highlighted");
        QTest::newRow("focused") << false << true << true;
        QTest::newRow("not focused") << false << false << false;
        QTest::newRow("always shown") << true << false << true;
    }
    void selectionWithoutFocus() {
        QFETCH(bool, always);
        QFETCH(bool, focused);
        QFETCH(bool, highlighted);
        apriTestata();
        QDialog form;
        auto* g = new DBGrid(&form);
        g->addColumn("rag_soc", "Ragione Sociale", 120);
        g->setDataSource(banco->ds.get());
        g->setGeometry(0, 0, 300, 150);
        g->setRowSelect(true);
        g->setAlwaysShowSelection(always);
        auto* e = new DBEdit(&form);
        e->setGeometry(0, 160, 100, 20);
        mostra(form);
        if (focused)
            g->setFocus();
        else
            e->setFocus();
        const QImage img = g->grab().toImage();
        const QRect r = g->visualRect(g->model()->index(0, 0))
                            .translated(g->viewport()->mapTo(g, QPoint(0, 0)));
        const QColor pixel = img.pixelColor(r.right() - 4, r.center().y());
        QCOMPARE(pixel != g->palette().color(QPalette::Base), highlighted);
        QCOMPARE(g->currentIndex().row(), 0);
    }

    void enterLeavesTheGridLikeTab() {
        apriTestata();
        QDialog form;
        auto* g = new DBGrid(&form);
        g->addColumn("rag_soc", "Ragione Sociale", 120);
        g->setDataSource(banco->ds.get());
        g->setGeometry(0, 0, 300, 150);
        auto* e = new DBEdit(&form);
        e->setGeometry(0, 160, 100, 20);
        EnterAsTab::install(&form);
        mostra(form);
        g->setFocus();
        QTest::keyClick(g, Qt::Key_Return); // no editor: the focus moves on
        QCOMPARE(QApplication::focusWidget(), e);
        g->setFocus();
        QTest::keyClick(g, 'Q');
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(g->isAncestorOf(editor));
        QTest::keyClick(editor, Qt::Key_Return); // the typed text goes to the field
        QCOMPARE(QApplication::focusWidget(), e);
        QCOMPARE(t().field("rag_soc").asString(), QString("Q"));
    }

    void fastOnManyRows() {
        banco = std::make_unique<BancoProva>(
            db, "clienti",
            QStringList{"SET SESSION max_recursive_iterations = 100000",
                        "INSERT INTO clienti (rag_soc, cap) WITH RECURSIVE n(i) AS (SELECT 1 UNION "
                        "ALL SELECT i + 1 FROM n WHERE i < 50000) SELECT CONCAT('C', i), '00100' "
                        "FROM n"});
        QCOMPARE(t().recordCount(), 50000);
        DBGrid g;
        g.addColumn("id", "id", 31);
        g.addColumn("rag_soc", "Ragione Sociale", 200);
        g.resize(400, 300);
        QElapsedTimer timer;
        timer.start();
        g.setDataSource(banco->ds.get());
        mostra(g);
        t().last();
        QCOMPARE(g.currentIndex().row(), 49999);
        g.grab();
        QSignalSpy changed(g.model(), &QAbstractItemModel::dataChanged);
        t().edit();
        t().field("rag_soc").setAsString("ULTIMO");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), 49999);
        QCOMPARE(changed[0][1].toModelIndex().row(), 49999);
        t().append(); // rows come and go: the model is reset
        QCOMPARE(g.model()->rowCount(), 50001);
        QCOMPARE(g.currentIndex().row(), 50000);
        t().cancel();
        QCOMPARE(g.model()->rowCount(), 50000);
        t().first();
        qint64 spent = timer.elapsed();
        t().refresh(); // reading the rows again is the table's time, not the grid's
        timer.restart();
        g.grab();
        QCOMPARE(g.currentIndex().row(), 0);
        spent += timer.elapsed();
        QVERIFY2(spent < 500, qPrintable(QString::number(spent) + " ms"));
    }
};

QTEST_MAIN(TstWidgetsDbgrid)
#include "tst_widgets_dbgrid.moc"
