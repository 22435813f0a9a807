// The editing of a table component's rows and their writing to the server.
#include "Table.h"

#include "Connection.h"
#include "DbError.h"
#include "RowStore.h"
#include "SqlBuilder.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

void Table::edit() {
    requireOpen();
    if (isEditing()) return;
    if (m_store->empty()) {
        append();
        return;
    }
    m_original = m_store->open(*currentRow());
    m_hasOriginal = true;
    m_changed.assign(columnCount(), false);
    setState(TableState::Edit);
}

void Table::append() {
    requireOpen();
    checkBrowseMode();
    startNewRow(recordCount());
}

void Table::insert() {
    requireOpen();
    checkBrowseMode();
    startNewRow(m_current < 0 ? 0 : m_current);
}

void Table::startNewRow(int at) {
    m_insertedFrom = m_current;
    m_store->insert(at, m_store->newRow(columnCount()));
    m_current = at;
    m_eof = m_bof = false;
    m_original.clear();
    m_hasOriginal = false;
    m_changed.assign(columnCount(), false);
    setState(TableState::Insert);
    // The link columns take the master's values before any other code runs.
    const QVariantList link = masterValues();
    for (int i = 0; i < m_detailColumns.size() && i < link.size(); ++i) {
        const int c = fieldIndex(m_detailColumns[i]);
        if (c >= 0) setCurrentValue(c, link[i]);
    }
    emit dataSetChanged();
    emit afterScroll();
    if (m_onNewRecord) m_onNewRecord(*this);
}

void Table::post() {
    requireOpen();
    if (!isEditing()) return;
    Row* row = currentRow();
    const bool isNew = m_state == TableState::Insert;
    if (isNew)
        writeInsert(*row);
    else if (std::find(m_changed.begin(), m_changed.end(), true) != m_changed.end())
        writeUpdate(*row);
    m_original.clear();
    m_hasOriginal = false;
    row->isSigned = false; // the server's new signature is unknown: the next refresh reads it
    calcFields(*row);
    m_store->close(*row);
    // The row changes place only when it is new or a column of the order changed.
    bool reorder = isNew;
    for (int c : m_store->order())
        reorder = reorder || m_changed[c];
    if (reorder && m_store->ordered()) {
        // The other rows are in order: the row moves to its place among them.
        RowPtr moved = m_store->take(m_current);
        m_current = m_store->insertPosition(*moved);
        m_store->insert(m_current, std::move(moved));
    }
    setState(TableState::Browse);
    emit dataSetChanged();
    emit afterPost();
}

void Table::cancel() {
    if (!isEditing()) return;
    if (m_state == TableState::Insert) {
        m_store->take(m_current);
        m_current = m_store->empty() ? -1 : std::clamp(m_insertedFrom, 0, recordCount() - 1);
        m_eof = m_bof = m_store->empty();
    } else if (m_hasOriginal) {
        Row& row = *currentRow();
        *row.open = m_original;
        m_store->close(row);
    }
    m_original.clear();
    m_hasOriginal = false;
    setState(TableState::Browse);
    emit dataSetChanged();
    emit afterScroll();
}

void Table::remove() {
    requireOpen();
    if (m_state == TableState::Insert) {
        cancel();
        return;
    }
    checkBrowseMode();
    Row* row = currentRow();
    if (!row)
        throw DbError(
            QStringLiteral("Nessuna riga da eliminare nella tabella '%1'").arg(m_tableName));
    QVariantList binds;
    const QString where = whereRow(*row, binds, false);
    Statement q = m_connection->exec(SqlBuilder::remove(m_tableName, where), binds);
    if (q->numRowsAffected() < 1)
        throw DbError(
            QStringLiteral("Riga non trovata: modificata o eliminata da un altro utente"));
    m_store->take(m_current);
    m_current = m_store->empty() ? -1 : std::min(m_current, recordCount() - 1);
    m_eof = m_bof = m_store->empty();
    emit dataSetChanged();
    emit afterScroll();
}

void Table::checkBrowseMode() {
    if (isEditing()) post();
}

// A row is found by its primary key; a table without one by every stored value as
// read, touching at most one row.
QString Table::whereRow(const Row& row, QVariantList& binds, bool useOriginal) const {
    const QVector<QVariant> values =
        useOriginal && m_hasOriginal ? m_original : m_store->values(row);
    if (m_pk >= 0) {
        binds << values[m_pk];
        return SqlBuilder::whereEqual({m_columns[m_pk].name});
    }
    QStringList columns;
    for (int i = 0; i < columnCount(); ++i) {
        if (m_columns[i].calculated) continue;
        columns << m_columns[i].name;
        binds << values[i];
    }
    return SqlBuilder::whereSameRow(columns);
}

void Table::writeInsert(Row& row) {
    QVector<QVariant>& values = m_store->open(row);
    QStringList columns;
    QVariantList binds;
    for (int i = 0; i < columnCount(); ++i) {
        if (m_columns[i].calculated || values[i].isNull()) continue;
        columns << m_columns[i].name;
        binds << values[i];
    }
    Statement q = m_connection->exec(SqlBuilder::insert(m_tableName, columns), binds);
    for (int i = 0; i < columnCount(); ++i)
        if (m_columns[i].autoIncrement && values[i].isNull()) values[i] = q->lastInsertId().toInt();
    reReadRow(row);
}

// Only the columns changed in this edit are written, so a change that another
// program made meanwhile to another column of the same row is kept.
void Table::writeUpdate(Row& row) {
    const QVector<QVariant>& values = m_store->open(row);
    QStringList columns;
    QVariantList binds;
    for (int i = 0; i < columnCount(); ++i) {
        if (!m_changed[i] || m_columns[i].calculated) continue;
        columns << m_columns[i].name;
        binds << values[i];
    }
    if (columns.isEmpty()) return;
    const QString where = whereRow(row, binds, true);
    Statement q = m_connection->exec(SqlBuilder::update(m_tableName, columns, where), binds);
    if (q->numRowsAffected() < 1)
        throw DbError(
            QStringLiteral("Riga non trovata: modificata o eliminata da un altro utente"));
}

// After an insert the row is read back, so that it holds what the server stored
// (its key and the columns' defaults).
void Table::reReadRow(Row& row) {
    QVector<QVariant>& values = m_store->open(row);
    if (m_pk < 0 || values[m_pk].isNull() || !m_sql.isEmpty()) return;
    Statement q = m_connection->exec(SqlBuilder::selectAll(m_tableName) +
                                         SqlBuilder::whereEqual({m_columns[m_pk].name}),
                                     {values[m_pk]});
    if (!q->next()) return;
    const QSqlRecord rec = q->record();
    for (int i = 0; i < rec.count(); ++i) {
        const int c = fieldIndex(rec.fieldName(i));
        if (c >= 0 && !m_columns[c].calculated) values[c] = q->value(i);
    }
}

QVariant Table::coerce(int column, const QVariant& value) const {
    const ColumnInfo& c = m_columns[column];
    if (value.isNull() || !value.isValid()) return QVariant();
    if (c.isText()) {
        const QString s = value.toString();
        return c.size > 0 && s.size() > c.size ? s.left(c.size) : s;
    }
    return value;
}

void Table::setCurrentValue(int column, const QVariant& value) {
    Row* row = accessRow();
    if (!row)
        throw DbError(QStringLiteral("Nessuna riga corrente nella tabella '%1'").arg(m_tableName));
    const bool calculated = m_columns[column].calculated;
    if (!calculated && !m_calcRow) requireEditing();
    const QVariant v = coerce(column, value);
    const QVariant old = rowValue(*row, column);
    if (RowStore::sameValue(old, v) && old.isNull() == v.isNull()) return;
    // A stored row keeps its key: other rows (an invoice's lines) refer to it.
    if (column == m_pk && m_state == TableState::Edit && !m_calcRow && row == currentRow())
        throw DbError(QStringLiteral("Il campo '%1' è la chiave della riga registrata nella "
                                     "tabella '%2' e non può essere modificato")
                          .arg(m_columns[column].name, m_tableName));
    const bool wasOpen = bool(row->open);
    m_store->open(*row)[column] = v;
    if (!wasOpen) m_store->close(*row);
    if (!calculated && row == currentRow() && isEditing()) {
        m_changed[column] = true;
        emit fieldChanged(column);
    }
}
