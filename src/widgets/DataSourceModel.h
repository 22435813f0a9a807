#pragma once

#include "DBGridColumn.h"

#include "db/Table.h" // DataSource::table() needs the whole class

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <deque>
#include <optional>
#include <vector>

// The rows of a data source as a table model for grids. Values are read from the table
// when a cell is drawn, so a grid over many rows costs only what it shows. Without
// columns of its own the model shows every column of the table.
class DataSourceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DataSourceModel(QObject* parent = nullptr);

    void setDataSource(DataSource* ds);
    DataSource* dataSource() const { return m_ds; }
    Table* table() const;
    bool isActive() const;

    DBGridColumn& addColumn(const DBGridColumn& column);
    const DBGridColumn& column(int column) const;
    DBGridColumn& column(int column);
    int fieldIndex(int column) const; // the table's column shown in `column`, or -1
    QString cellText(int row, int column) const;
    bool isReadOnly(int column) const;

    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool readOnly() const { return m_readOnly; }
    void setCellColor(const QColor& color);
    void setTitleFont(const std::optional<QFont>& font);
    void setTitleColor(const QColor& color);

    // The user started changing `row` in an editor: put the table into edit state.
    void startEdit(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    void columnsRead(); // the table's columns are known (again): widths can be set

private:
    void onDataSetChanged();
    void onFieldChanged(int column);
    void onRowRemoved(int row);
    void onRowInserted(int row);
    void onRowChanged(int row);
    void onStateChanged();
    void onRecordChanged();
    void resolveFields();
    const std::deque<DBGridColumn>& shown() const;

    QPointer<DataSource> m_ds;
    std::deque<DBGridColumn> m_columns;   // stable references for addColumn's callers
    std::deque<DBGridColumn> m_automatic; // every column, while none was added
    std::vector<int> m_fields;
    int m_rows = 0;
    int m_indicatorRow = -1;
    bool m_readOnly = false;
    QColor m_cellColor;
    std::optional<QFont> m_titleFont;
    QColor m_titleColor;
};
