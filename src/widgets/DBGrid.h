#pragma once

#include "DBGridColumn.h"

#include <QSet>
#include <QTableView>
#include <functional>

class DataSource;
class DataSourceModel;
class DBGridDelegate;

// A grid over the rows of a data source. Its current row follows the table's, and
// clicking a row moves the table there (posting a pending edit); cells are edited in
// place unless the grid or the column is read only.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    using CellPainter =
        std::function<void(QPainter* p, const QRect& rect, int row, const DBGridColumn& column)>;

    explicit DBGrid(QWidget* parent = nullptr);

    void setDataSource(DataSource* ds);
    DataSource* dataSource() const;
    DataSourceModel* dataModel() const { return m_model; }

    DBGridColumn& addColumn(const QString& field, const QString& title = QString(),
                            int width = -1 /* -1: from the column size */,
                            Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    // Widens a column, where needed, so that a text like `sample` (a date) shows whole.
    void fitText(int column, const QString& sample);
    int columnCount() const;
    const DBGridColumn& column(int column) const;
    DBGridColumn& column(int column); // changes show at the next drawing

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    void setRowSelect(bool rowSelect); // whole-row selection
    bool rowSelect() const { return m_rowSelect; }
    void setAlwaysShowSelection(bool show); // also while the grid has no focus
    bool alwaysShowSelection() const { return m_alwaysShowSelection; }
    void setTitleFont(const QFont& font);
    void setTitleColor(const QColor& color);
    void setCellColor(const QColor& color); // text colour of the cells

    // Called for every cell after the grid drew it in its usual way.
    void setCellPainter(CellPainter painter);
    const CellPainter& cellPainter() const { return m_cellPainter; }

    QString cellText(int row, int column) const; // the text a cell shows
    QString cellText(int row, const DBGridColumn& column) const;

    using QTableView::edit;

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void onCurrentChanged(const QModelIndex& current);
    void followTable();
    bool hasFocusInside() const;
    QItemSelectionModel::SelectionFlags selectionFlags() const;
    void showSelection();
    void sizeColumns();
    void fitRowHeight();

    DataSourceModel* m_model;
    DBGridDelegate* m_delegate;
    CellPainter m_cellPainter;
    QSet<QString> m_sized; // fields whose width was taken from the column size
    bool m_following = false;
    bool m_readOnly = false;
    bool m_rowSelect = false;
    bool m_alwaysShowSelection = false;
};
