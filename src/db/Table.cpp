#include "Table.h"

#include "Connection.h"
#include "DataSource.h"
#include "DbError.h"
#include "RowStore.h"
#include "SqlBuilder.h"

#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <optional>

// The table component's configuration, opening, reading of rows, navigation and field
// access. The refresh lives in TableRefresh.cpp, the writing of rows in TableWrite.cpp,
// the rows themselves in RowStore.

Table::Table(Connection* connection, const QString& tableName, QObject* parent)
    : QObject(parent), m_connection(connection), m_tableName(tableName),
      m_store(std::make_unique<RowStore>()) {
    connect(&m_timer, &QTimer::timeout, this, &Table::onTimer);
}

Table::~Table() = default;

int Table::recordCount() const {
    return m_store->size();
}

std::size_t Table::rowBytes() const {
    return m_store->bytes();
}

QVariant Table::rowValue(const Row& row, int column) const {
    return m_store->value(row, column);
}

void Table::setSql(const QString& select, const QVariantList& binds) {
    m_sql = select;
    m_sqlBinds = select.isEmpty() ? QVariantList() : binds;
}

void Table::setOrderBy(const QStringList& columns) {
    m_orderBy = columns;
}

void Table::setMaster(DataSource* master, const QStringList& detailColumns,
                      const QStringList& masterColumns) {
    m_detailColumns = detailColumns;
    m_masterColumns = masterColumns;
    setMasterSource(master);
}

void Table::setMasterSource(DataSource* master) {
    if (m_master) disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    if (!master) return;
    connect(master, &DataSource::recordChanged, this, &Table::onMasterChanged);
    connect(master, &DataSource::afterPost, this, &Table::onMasterChanged);
    // Opening and re-reading the master move its current row as well; only a
    // closed master needs its own notice.
    connect(master, &DataSource::dataSetChanged, this, [this] {
        if (m_master && m_master->table() && !m_master->table()->isOpen()) onMasterChanged();
    });
}

void Table::addCalculatedField(const QString& name, QMetaType::Type type) {
    m_calculated.emplace_back(name, type);
}

void Table::declareField(const QString& name, FieldKind kind) {
    m_declared.emplace_back(name, kind);
}

void Table::setAutoRefresh(int milliseconds) {
    m_autoRefreshMs = milliseconds;
    m_timer.stop();
    if (milliseconds > 0 && isOpen()) m_timer.start(milliseconds);
}

void Table::open() {
    if (isOpen()) return;
    if (!m_connection->isConnected()) m_connection->connect();
    loadTableMeta();
    m_columns.clear();
    m_signature.clear();
    // Open before the first read, so details that follow this table see it open.
    m_state = TableState::Browse;
    try {
        // The log's mark is read before the rows: every later entry is then news.
        if (m_logged) m_logMark = readLogMark();
        // Without a log the rows carry their signatures from the start, so that the
        // first refresh compares instead of reading everything again.
        const bool signatures = !m_logged && m_sql.isEmpty() && !m_master && m_metaIntegerKey;
        if (signatures) m_signature = SqlBuilder::rowSignature(m_metaColumns);
        fetch(false, signatures);
    } catch (...) {
        m_state = TableState::Inactive;
        m_store->clear();
        throw;
    }
    emit stateChanged();
    if (m_autoRefreshMs > 0) m_timer.start(m_autoRefreshMs);
}

void Table::close() {
    if (!isOpen()) return;
    m_timer.stop();
    m_store->clear();
    m_withSignatures = false;
    m_original.clear();
    m_hasOriginal = false;
    m_current = -1;
    m_eof = m_bof = true;
    setState(TableState::Inactive);
    emit dataSetChanged();
}

void Table::loadTableMeta() {
    m_tableMeta.clear();
    m_metaColumns.clear();
    m_metaIntegerKey = false;
    m_logged = false;
    if (m_tableName.isEmpty()) return;
    {
        int keys = 0;
        bool integerKey = false;
        Statement q = m_connection->exec(
            QStringLiteral("SELECT COLUMN_NAME, CHARACTER_MAXIMUM_LENGTH, COLUMN_KEY, EXTRA, "
                           "DATA_TYPE FROM information_schema.COLUMNS "
                           "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ? "
                           "ORDER BY ORDINAL_POSITION"),
            {m_tableName});
        while (q->next()) {
            ColumnInfo c;
            c.name = q->value(0).toString();
            c.size = q->value(1).isNull() ? 0 : q->value(1).toInt();
            c.primaryKey = q->value(2).toString() == QLatin1String("PRI");
            c.autoIncrement = q->value(3).toString().contains(QLatin1String("auto_increment"));
            m_tableMeta.insert(c.name.toLower(), c);
            m_metaColumns << c.name;
            keys += c.primaryKey;
            integerKey = integerKey ||
                         (c.primaryKey && q->value(4).toString().endsWith(QLatin1String("int")));
        }
        m_metaIntegerKey = keys == 1 && integerKey;
    }
    if (m_tableMeta.isEmpty() && m_sql.isEmpty())
        throw DbError(QStringLiteral("Tabella '%1' non trovata").arg(m_tableName));
    if (!m_sql.isEmpty() || m_master) return;
    // The log is used only when it and the triggers of all three kinds of write that
    // feed it are there.
    const QString log = SqlBuilder::changeLog(m_tableName);
    Statement q = m_connection->exec(
        QStringLiteral(
            "SELECT (SELECT COUNT(*) FROM information_schema.TABLES "
            "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ?), "
            "(SELECT COUNT(DISTINCT EVENT_MANIPULATION) FROM information_schema.TRIGGERS "
            "WHERE TRIGGER_SCHEMA = DATABASE() AND EVENT_OBJECT_TABLE = ? "
            "AND ACTION_TIMING = 'AFTER' AND ACTION_STATEMENT LIKE ?)"),
        {log, m_tableName, QStringLiteral("%") + log + QStringLiteral("%")});
    m_logged = q->next() && q->value(0).toInt() == 1 && q->value(1).toInt() == 3;
}

void Table::loadColumns(const QSqlRecord& record) {
    m_columns.clear();
    m_byName.clear();
    for (int i = 0; i < record.count(); ++i) {
        // The rows' signatures are no column: they follow the columns, apart.
        if (record.fieldName(i) == SqlBuilder::signatureAlias()) continue;
        ColumnInfo c = m_tableMeta.value(record.fieldName(i).toLower());
        c.name = record.fieldName(i);
        c.type = QMetaType::Type(record.field(i).metaType().id());
        if (!c.isText()) c.size = 0;
        m_columns.push_back(c);
    }
    for (const auto& [name, type] : m_calculated) {
        ColumnInfo c;
        c.name = name;
        c.type = type;
        c.calculated = true;
        m_columns.push_back(c);
    }
    m_byExactName.clear();
    std::vector<QMetaType::Type> types;
    for (int i = 0; i < int(m_columns.size()); ++i) {
        m_byName.insert(m_columns[i].name.toLower(), i);
        m_byExactName.insert(m_columns[i].name, i);
        types.push_back(m_columns[i].type);
    }
    m_pk = primaryKeyColumn();
    m_integerKey = m_pk >= 0 && m_columns[m_pk].isInteger();
    std::vector<int> order;
    for (const QString& name : m_orderBy)
        if (const int c = fieldIndex(name); c >= 0) order.push_back(c);
    m_store->setLayout(std::move(types), m_integerKey ? m_pk : -1, std::move(order));
    checkDeclared();
}

void Table::checkDeclared() const {
    for (const auto& [name, kind] : m_declared) {
        const int i = fieldIndex(name);
        if (i < 0 || m_columns[i].calculated)
            throw DbError(
                QStringLiteral("Campo '%1' non trovato nella tabella '%2'").arg(name, m_tableName));
        const ColumnInfo& c = m_columns[i];
        const bool fits = kind == FieldKind::Any || (kind == FieldKind::Text && c.isText()) ||
                          (kind == FieldKind::Integer && c.isInteger()) ||
                          (kind == FieldKind::Boolean && c.isInteger()) ||
                          (kind == FieldKind::Number && (c.isFloat() || c.isInteger())) ||
                          (kind == FieldKind::Date && c.isDate());
        if (!fits)
            throw DbError(
                QStringLiteral("Tipo non compatibile per il campo '%1' della tabella '%2'")
                    .arg(name, m_tableName));
    }
}

QString Table::selectStatement(QVariantList& binds, bool& masterMissing,
                               bool withSignatures) const {
    const QString extra = withSignatures ? signatureColumn() : QString();
    masterMissing = false;
    binds = m_sqlBinds;
    if (!m_master || m_detailColumns.isEmpty()) {
        if (!m_sql.isEmpty()) return m_sql;
        return SqlBuilder::selectAll(m_tableName, extra, m_orderBy);
    }
    const QString base =
        m_sql.isEmpty() ? SqlBuilder::selectAll(m_tableName, extra) : SqlBuilder::wrapped(m_sql);
    const QVariantList master = masterValues();
    binds += master;
    for (int i = 0; i < m_detailColumns.size(); ++i)
        if (i >= master.size() || master[i].isNull()) masterMissing = true;
    return base + SqlBuilder::whereEqual(m_detailColumns);
}

// The signature of each row as an extra column of the statement.
QString Table::signatureColumn() const {
    return m_signature + QStringLiteral(" AS ") + SqlBuilder::signatureAlias();
}

QVariantList Table::masterValues() const {
    QVariantList out;
    Table* master = m_master ? m_master->table() : nullptr;
    const bool usable = master && master->isOpen() && master->recNo() >= 0;
    for (const QString& col : m_masterColumns) {
        const int i = usable ? master->fieldIndex(col) : -1;
        out << (i >= 0 ? master->currentValue(i) : QVariant());
    }
    return out;
}

void Table::fetch(bool keepPosition, bool withSignatures) {
    const Bookmark mark = keepPosition ? bookmark() : Bookmark();
    m_rollbacksSeen = m_connection->rollbacks();
    QVariantList binds;
    bool masterMissing = false;
    const QString sql = selectStatement(binds, masterMissing, withSignatures);
    m_linkValues = binds.mid(m_sqlBinds.size());
    const int currentBefore = m_current;
    // A read that finds the rows as they were tells the views nothing new.
    bool unchanged = keepPosition;
    if (masterMissing && !m_columns.empty()) {
        unchanged = unchanged && m_store->empty();
        m_store->clear();
    } else {
        // Without master values the columns are still learned, from no rows.
        QSqlQuery plain;
        std::optional<Statement> bound;
        // Without master values only the statement's own values are bound.
        const QString text = masterMissing ? sql.section(QStringLiteral(" WHERE "), 0, -2) +
                                                 QStringLiteral(" LIMIT 0")
                                           : sql;
        const QVariantList values = masterMissing ? m_sqlBinds : binds;
        if (values.isEmpty())
            plain = m_connection->exec(text);
        else
            bound = m_connection->exec(text, values);
        QSqlQuery& q = bound ? **bound : plain;
        if (m_columns.empty()) loadColumns(q.record());
        const int stored = int(m_columns.size()) - int(m_calculated.size());
        std::vector<RowPtr> rows;
        while (q.next())
            rows.push_back(readRow(q, stored, withSignatures));
        unchanged = unchanged && m_store->sameRows(rows);
        m_store->assign(std::move(rows));
        m_withSignatures = withSignatures;
    }
    int pos = m_store->empty() ? -1 : 0;
    if (mark.isValid()) {
        const int found = findKey(mark.key);
        pos = found >= 0 ? found : std::min(mark.index, recordCount() - 1);
    }
    m_current = pos;
    m_eof = m_bof = m_store->empty();
    ++m_dataSetChanges;
    // Details still follow the current row: their own rows may have changed.
    if (!unchanged || pos != currentBefore) emit dataSetChanged();
    emit afterScroll();
}

// A row as the statement returns it, with its calculated fields, packed.
Table::RowPtr Table::readRow(const QSqlQuery& q, int stored, bool withSignature) {
    auto row = std::make_unique<Row>();
    row->open = std::make_unique<QVector<QVariant>>();
    row->open->reserve(columnCount());
    for (int i = 0; i < stored; ++i)
        row->open->append(q.value(i));
    row->open->resize(columnCount());
    if (withSignature) {
        row->signature = q.value(stored).toULongLong();
        row->isSigned = true;
    }
    calcFields(*row);
    m_store->close(*row, false);
    return row;
}

void Table::calcFields(Row& row) {
    if (!m_onCalcFields || m_calculated.empty()) return;
    const bool wasOpen = bool(row.open);
    m_store->open(row);
    Row* saved = m_calcRow;
    m_calcRow = &row;
    try {
        m_onCalcFields(*this);
    } catch (...) {
        m_calcRow = saved;
        throw;
    }
    m_calcRow = saved;
    if (!wasOpen) m_store->close(row);
}

Table::Row* Table::currentRow() const {
    return m_current >= 0 && m_current < recordCount() ? m_store->at(m_current) : nullptr;
}

Table::Row* Table::accessRow() const {
    return m_calcRow ? m_calcRow : currentRow();
}

void Table::setPosition(int row, bool notify) {
    const int old = m_current;
    m_current = m_store->empty() ? -1 : std::clamp(row, 0, recordCount() - 1);
    if (notify && old != m_current) emit afterScroll();
}

void Table::first() {
    requireOpen();
    checkBrowseMode();
    setPosition(0);
    m_bof = true;
    m_eof = m_store->empty();
}

void Table::last() {
    requireOpen();
    checkBrowseMode();
    setPosition(recordCount() - 1);
    m_eof = true;
    m_bof = m_store->empty();
}

void Table::next() {
    requireOpen();
    checkBrowseMode();
    if (m_current + 1 >= recordCount()) {
        m_eof = true;
        return;
    }
    setPosition(m_current + 1);
    m_eof = m_bof = false;
}

void Table::prior() {
    requireOpen();
    checkBrowseMode();
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    setPosition(m_current - 1);
    m_eof = m_bof = false;
}

void Table::moveTo(int row) {
    requireOpen();
    checkBrowseMode();
    setPosition(row);
    m_eof = m_bof = m_store->empty();
}

bool Table::locate(const QString& column, const QVariant& value) {
    return locate(column, value, QString(), QVariant());
}

bool Table::locate(const QString& column1, const QVariant& value1, const QString& column2,
                   const QVariant& value2) {
    requireOpen();
    const int c1 = field(column1).index();
    const int c2 = column2.isEmpty() ? -1 : field(column2).index();
    for (int r = 0; r < recordCount(); ++r) {
        const Row& row = *m_store->at(r);
        if (RowStore::sameValue(rowValue(row, c1), value1) &&
            (c2 < 0 || RowStore::sameValue(rowValue(row, c2), value2))) {
            moveTo(r);
            return true;
        }
    }
    return false;
}

int Table::primaryKeyColumn() const {
    for (int i = 0; i < columnCount(); ++i)
        if (m_columns[i].primaryKey) return i;
    return -1;
}

QVariantList Table::keyOf(const Row& row) const {
    return m_pk >= 0 ? QVariantList{rowValue(row, m_pk)} : QVariantList();
}

int Table::findKey(const QVariantList& key) const {
    if (m_pk < 0 || key.isEmpty() || key.first().isNull()) return -1;
    const QVariant& k = key.first();
    if (m_integerKey) {
        const Row* row = m_store->byKey(k.toLongLong());
        return row ? m_store->positionOf(row) : -1;
    }
    for (int r = 0; r < recordCount(); ++r)
        if (rowValue(*m_store->at(r), m_pk) == k) return r;
    return -1;
}

Bookmark Table::bookmark() const {
    Bookmark b;
    if (const Row* row = currentRow()) {
        b.key = keyOf(*row);
        b.index = m_current;
    }
    return b;
}

bool Table::gotoBookmark(const Bookmark& bookmark) {
    if (!bookmark.isValid() || m_store->empty()) return false;
    const int found = findKey(bookmark.key);
    if (found < 0 && !bookmark.key.isEmpty()) return false;
    moveTo(found >= 0 ? found : std::min(bookmark.index, recordCount() - 1));
    return true;
}

int Table::fieldIndex(const QString& name) const {
    // Callers mostly spell names as the columns are spelt: try that before folding case.
    const auto exact = m_byExactName.constFind(name);
    if (exact != m_byExactName.constEnd()) return exact.value();
    return m_byName.value(name.toLower(), -1);
}

Field Table::field(const QString& name) {
    const int i = fieldIndex(name);
    if (i < 0) throw DbError(QStringLiteral("Campo '%1' non trovato").arg(name));
    return Field(this, i);
}

QVariant Table::value(int row, int column) const {
    if (row < 0 || row >= recordCount() || column < 0 || column >= columnCount()) return QVariant();
    return rowValue(*m_store->at(row), column);
}

QVariant Table::currentValue(int column) const {
    const Row* row = accessRow();
    return row && column >= 0 && column < columnCount() ? rowValue(*row, column) : QVariant();
}

void Table::requireOpen() const {
    if (!isOpen()) throw DbError(QStringLiteral("Tabella '%1' non aperta").arg(m_tableName));
}

void Table::requireEditing() const {
    if (!isEditing())
        throw DbError(QStringLiteral("Tabella '%1' non in modifica").arg(m_tableName));
}

void Table::setState(TableState state) {
    if (state == m_state) return;
    m_state = state;
    emit stateChanged();
}

void Table::onMasterChanged() {
    if (!isOpen()) return;
    const bool sameMaster = masterValues() == m_linkValues;
    if (isEditing()) {
        // An edit is never disturbed by a refresh of the same master row; moving the
        // master to another row posts it first.
        if (sameMaster) return;
        post();
    }
    fetch(sameMaster);
}

void Table::onTimer() {
    if (m_state != TableState::Browse) return;
    try {
        refresh();
    } catch (const DbError& e) {
        m_timer.stop();
        emit autoRefreshFailed(e.messaggio());
    }
}
