#include "DataSourceModel.h"

#include "FieldLink.h"
#include "db/DataSource.h"
#include "db/Table.h"

#include <algorithm>

DataSourceModel::DataSourceModel(QObject* parent) : QAbstractTableModel(parent) {}

Table* DataSourceModel::table() const {
    return m_ds ? m_ds->table() : nullptr;
}

bool DataSourceModel::isActive() const {
    const Table* t = table();
    return t && t->isOpen();
}

void DataSourceModel::setDataSource(DataSource* ds) {
    if (m_ds) disconnect(m_ds, nullptr, this, nullptr);
    m_ds = ds;
    if (ds) {
        connect(ds, &DataSource::dataSetChanged, this, &DataSourceModel::onDataSetChanged);
        connect(ds, &DataSource::fieldChanged, this, &DataSourceModel::onFieldChanged);
        connect(ds, &DataSource::stateChanged, this, &DataSourceModel::onStateChanged);
        connect(ds, &DataSource::recordChanged, this, &DataSourceModel::onRecordChanged);
        connect(ds, &QObject::destroyed, this, &DataSourceModel::onDataSetChanged);
        connect(ds, &DataSource::rowRemoved, this, &DataSourceModel::onRowRemoved);
        connect(ds, &DataSource::rowInserted, this, &DataSourceModel::onRowInserted);
        connect(ds, &DataSource::rowChanged, this, &DataSourceModel::onRowChanged);
    }
    beginResetModel();
    resolveFields();
    m_rows = isActive() ? table()->recordCount() : 0;
    m_indicatorRow = isActive() ? table()->recNo() : -1;
    endResetModel();
    emit columnsRead();
}

DBGridColumn& DataSourceModel::addColumn(const DBGridColumn& column) {
    beginResetModel();
    m_automatic.clear();
    m_columns.push_back(column);
    resolveFields();
    endResetModel();
    return m_columns.back();
}

const std::deque<DBGridColumn>& DataSourceModel::shown() const {
    return m_columns.empty() ? m_automatic : m_columns;
}

const DBGridColumn& DataSourceModel::column(int column) const {
    return shown().at(column);
}

DBGridColumn& DataSourceModel::column(int column) {
    return m_columns.empty() ? m_automatic.at(column) : m_columns.at(column);
}

int DataSourceModel::fieldIndex(int column) const {
    return column >= 0 && column < int(m_fields.size()) ? m_fields[column] : -1;
}

void DataSourceModel::resolveFields() {
    const Table* t = isActive() ? table() : nullptr;
    if (m_columns.empty()) {
        m_automatic.clear();
        for (int i = 0; t && i < t->columnCount(); ++i) {
            DBGridColumn c;
            c.field = c.title = t->columns()[i].name;
            m_automatic.push_back(c);
        }
    }
    m_fields.clear();
    for (const DBGridColumn& c : shown())
        m_fields.push_back(t ? t->fieldIndex(c.field) : -1);
}

void DataSourceModel::onDataSetChanged() {
    const std::vector<int> before = m_fields;
    const int columnsBefore = columnCount();
    resolveFields();
    const int rows = isActive() ? table()->recordCount() : 0;
    if (rows != m_rows || m_fields != before || columnCount() != columnsBefore) {
        // The fields were already resolved: the reset only tells the views.
        beginResetModel();
        m_rows = rows;
        endResetModel();
        emit columnsRead();
    } else if (rows > 0 && columnCount() > 0) {
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, 0, rows - 1);
    }
    m_indicatorRow = isActive() ? table()->recNo() : -1;
}

// A refresh that changed single rows tells the views about those rows alone: the
// table has already made each change, the model only follows it.
void DataSourceModel::onRowRemoved(int row) {
    if (row < 0 || row >= m_rows) return;
    beginRemoveRows(QModelIndex(), row, row);
    --m_rows;
    if (m_indicatorRow > row)
        --m_indicatorRow;
    else if (m_indicatorRow == row)
        m_indicatorRow = -1;
    endRemoveRows();
}

void DataSourceModel::onRowInserted(int row) {
    if (row < 0 || row > m_rows) return;
    beginInsertRows(QModelIndex(), row, row);
    ++m_rows;
    if (m_indicatorRow >= row) ++m_indicatorRow;
    endInsertRows();
}

void DataSourceModel::onRowChanged(int row) {
    if (row >= 0 && row < m_rows && columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void DataSourceModel::onFieldChanged(int) {
    const int row = isActive() ? table()->recNo() : -1;
    if (row >= 0 && row < m_rows && columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

// The indicator shows the state: the current row's section is drawn again.
void DataSourceModel::onStateChanged() {
    const int old = m_indicatorRow;
    onRecordChanged();
    if (m_indicatorRow == old && old >= 0 && old < m_rows)
        emit headerDataChanged(Qt::Vertical, old, old);
}

// Only a move draws the indicator again: a table that stays where it was repaints nothing.
void DataSourceModel::onRecordChanged() {
    const int old = m_indicatorRow;
    m_indicatorRow = isActive() ? table()->recNo() : -1;
    if (old == m_indicatorRow) return;
    for (int r : {old, m_indicatorRow})
        if (r >= 0 && r < m_rows) emit headerDataChanged(Qt::Vertical, r, r);
}

QString DataSourceModel::cellText(int row, int column) const {
    const int f = fieldIndex(column);
    return f >= 0 && row >= 0 && row < m_rows ? FieldLink::textOf(table()->value(row, f))
                                              : QString();
}

bool DataSourceModel::isReadOnly(int column) const {
    const int f = fieldIndex(column);
    return m_readOnly || f < 0 || this->column(column).readOnly || table()->columns()[f].calculated;
}

void DataSourceModel::setCellColor(const QColor& color) {
    m_cellColor = color;
    if (m_rows > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
}

void DataSourceModel::setTitleFont(const std::optional<QFont>& font) {
    m_titleFont = font;
    if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void DataSourceModel::setTitleColor(const QColor& color) {
    m_titleColor = color;
    if (columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void DataSourceModel::startEdit(int row) {
    Table* t = table();
    if (t && t->isOpen() && row == t->recNo() && !t->isEditing())
        FieldLink::protect([&] { m_ds->edit(); });
}

int DataSourceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int DataSourceModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shown().size());
}

QVariant DataSourceModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(column(index.column()).alignment.toInt());
    case Qt::ForegroundRole:
        return m_cellColor.isValid() ? QVariant(m_cellColor) : QVariant();
    case Qt::BackgroundRole: {
        const QColor& c = column(index.column()).color;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    default:
        return QVariant();
    }
}

bool DataSourceModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    Table* t = table();
    const int f = fieldIndex(index.column());
    // Only the current row is edited: an editor left open on a row the table has
    // meanwhile moved away from writes nothing.
    if (role != Qt::EditRole || !t || f < 0 || index.row() != t->recNo() ||
        isReadOnly(index.column()))
        return false;
    const QString text = value.toString();
    if (!t->isEditing() && text == cellText(index.row(), index.column())) return true;
    return FieldLink::protect([&] {
        m_ds->edit();
        t->field(f).setAsString(text);
    });
}

QVariant DataSourceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role != Qt::DisplayRole || section != m_indicatorRow || !isActive()) return QVariant();
        switch (table()->state()) {
        case TableState::Edit:
            return QStringLiteral("\u270E");
        case TableState::Insert:
            return QStringLiteral("*");
        default:
            return QStringLiteral("\u25B8");
        }
    }
    if (section < 0 || section >= columnCount()) return QVariant();
    const DBGridColumn& c = column(section);
    switch (role) {
    case Qt::DisplayRole:
        return c.title.isEmpty() ? c.field : c.title;
    case Qt::TextAlignmentRole:
        return int(c.titleAlignment.toInt());
    case Qt::FontRole:
        return m_titleFont ? QVariant(*m_titleFont) : QVariant();
    case Qt::ForegroundRole:
        return m_titleColor.isValid() ? QVariant(m_titleColor) : QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags DataSourceModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!isReadOnly(index.column())) f |= Qt::ItemIsEditable;
    return f;
}
