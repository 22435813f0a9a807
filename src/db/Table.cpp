#include "Table.h"

#include "Connection.h"
#include "DataSource.h"
#include "DbError.h"

#include "PackedRow.h"
#include "SqlBuilder.h"

#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <optional>

struct Table::Row {
    PackedRow packed;
    std::unique_ptr<QVector<QVariant>> open; // the values while they are being set
    qint64 key = 0;                          // the integer key, when the table has one
    bool hasKey = false;
    quint64 signature = 0; // the server's signature as read
    bool isSigned = false; // false when the signature is unknown
};

namespace {

constexpr int kLogWindow = 256; // log entries re-read below the mark (see refreshFromLog)

bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() == b.isNull();
    return a.toString() == b.toString();
}

// Ascending order as the server's case-insensitive collation sorts; nulls first.
int compareValues(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return int(b.isNull()) - int(a.isNull());
    const int ta = a.typeId();
    if (ta == QMetaType::QString || b.typeId() == QMetaType::QString)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive);
    const QPartialOrdering o = QVariant::compare(a, b);
    return o == QPartialOrdering::Less ? -1 : o == QPartialOrdering::Greater ? 1 : 0;
}

// A lock held by a transaction still writing: the statement did not wait for it.
bool isLockBusy(const DbError& e) {
    return e.messaggio().contains(QLatin1String("(1205)")) ||
           e.messaggio().contains(QLatin1String("(1213)"));
}

} // namespace

Table::Table(Connection* connection, const QString& tableName, QObject* parent)
    : QObject(parent), m_connection(connection), m_tableName(tableName) {
    connect(&m_timer, &QTimer::timeout, this, &Table::onTimer);
}

Table::~Table() = default;

void Table::setTableName(const QString& name) {
    m_tableName = name;
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

// ---- row storage ----------------------------------------------------------------

QVariant Table::rowValue(const Row& row, int column) const {
    if (row.open) return column < row.open->size() ? row.open->at(column) : QVariant();
    return row.packed.value(column, m_types[column]);
}

// The row's values as a vector that can be changed, until closeRow packs them again.
QVector<QVariant>& Table::openRow(Row& row) {
    if (!row.open) {
        row.open = std::make_unique<QVector<QVariant>>();
        row.packed.unpack(*row.open, m_types);
        row.open->resize(columnCount());
    }
    return *row.open;
}

// Packs the row's values again; a row held by the table is indexed under its key.
void Table::closeRow(Row& row, bool indexed) {
    if (!row.open) return;
    if (indexed && row.hasKey && m_byKey.value(row.key) == &row) m_byKey.remove(row.key);
    row.hasKey = false;
    if (m_integerKey && !row.open->at(m_pk).isNull()) {
        row.key = row.open->at(m_pk).toLongLong();
        row.hasKey = true;
        if (indexed) m_byKey.insert(row.key, &row);
    }
    row.packed = PackedRow(*row.open);
    row.open.reset();
}

void Table::rebuildKeyIndex() {
    m_byKey.clear();
    if (!m_integerKey) return;
    m_byKey.reserve(recordCount());
    for (const RowPtr& r : m_rows)
        if (r->hasKey) m_byKey.insert(r->key, r.get());
}

std::size_t Table::rowBytes() const {
    // Each row: its pointer, the row itself and its packed values, with the heap's
    // own 16 bytes per allocation; the key index adds about 24 bytes a row.
    std::size_t total = 0;
    for (const RowPtr& r : m_rows)
        total += sizeof(RowPtr) + sizeof(Row) + 16 + r->packed.bytes() + 16;
    return total + std::size_t(m_byKey.size()) * 24;
}

// ---- life cycle -------------------------------------------------------------

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
        m_rows.clear();
        m_byKey.clear();
        throw;
    }
    emit stateChanged();
    if (m_autoRefreshMs > 0) m_timer.start(m_autoRefreshMs);
}

void Table::close() {
    if (!isOpen()) return;
    m_timer.stop();
    m_rows.clear();
    m_byKey.clear();
    m_withSignatures = false;
    m_original.clear();
    m_hasOriginal = false;
    m_current = -1;
    m_eof = m_bof = true;
    setState(TableState::Inactive);
    emit dataSetChanged();
}

// A table read by name with an integer key re-reads only the rows that changed: those
// its change log names, else those whose signature differs.
void Table::refresh() {
    requireOpen();
    checkBrowseMode();
    // A statement set since the open, or a rollback on the connection (rows this table
    // wrote may be gone without a trace in any log): everything is read again.
    if (!keyedRefresh() || m_connection->rollbacks() != m_rollbacksSeen) {
        fetch(true, keyedRefresh() && !m_logged);
        return;
    }
    if (!m_logged && !m_withSignatures) {
        fetch(true, true);
        return;
    }
    const int before = m_dataSetChanges;
    if (m_logged)
        refreshFromLog();
    else
        refreshFromSignatures();
    // Whatever changed, details and bound controls read the current row again (the
    // lines of the current invoice may have changed elsewhere); a full read told them.
    if (before == m_dataSetChanges) emit afterScroll();
}

bool Table::keyedRefresh() const {
    return m_sql.isEmpty() && !m_master && m_integerKey;
}

bool Table::signaturesUsable() const {
    return keyedRefresh();
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
    m_types.clear();
    for (int i = 0; i < int(m_columns.size()); ++i) {
        m_byName.insert(m_columns[i].name.toLower(), i);
        m_byExactName.insert(m_columns[i].name, i);
        m_types.push_back(m_columns[i].type);
    }
    m_pk = primaryKeyColumn();
    m_integerKey = m_pk >= 0 && m_columns[m_pk].isInteger();
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
    const QString extra = withSignatures
                              ? m_signature + QStringLiteral(" AS ") + SqlBuilder::signatureAlias()
                              : QString();
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
    if (masterMissing && !m_columns.empty()) {
        m_rows.clear();
        m_byKey.clear();
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
        m_byKey.clear();
        while (q.next())
            rows.push_back(readRow(q, stored, withSignatures));
        m_rows = std::move(rows);
        m_withSignatures = withSignatures;
        sortRows();
    }
    int pos = m_rows.empty() ? -1 : 0;
    if (mark.isValid()) {
        const int found = findKey(mark.key);
        pos = found >= 0 ? found : std::min(mark.index, recordCount() - 1);
    }
    m_current = pos;
    m_eof = m_bof = m_rows.empty();
    ++m_dataSetChanges;
    emit dataSetChanged();
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
    closeRow(*row, false);
    return row;
}

// The mark is the log's last entry; the entries just below it are taken as applied,
// since the rows read next already show them.
quint64 Table::readLogMark() {
    QSqlQuery q = m_connection->exec(SqlBuilder::lastChanges(m_tableName, kLogWindow));
    m_logApplied.clear();
    quint64 mark = 0;
    while (q.next()) {
        const quint64 n = q.value(0).toULongLong();
        mark = std::max(mark, n);
        m_logApplied.insert(n);
    }
    return mark;
}

// The change log holds one entry per row written, numbered as written. Entries become
// visible when their transaction commits, so a number can show up after higher ones:
// a gap above the mark is a write still in progress (or one rolled back). The mark
// moves past a gap only when a locking read that does not wait finds no transaction
// writing there; until then the entries above the gap are kept as applied. Entries
// just below the mark are read again and applied when they are new, which covers a
// write numbered but not yet stored while that check ran, and writes in progress
// when the table was opened.
void Table::refreshFromLog() {
    const quint64 low = m_logMark > kLogWindow ? m_logMark - kLogWindow : 0;
    QList<qint64> keys;
    bool everything = false;
    quint64 last = 0;
    const auto take = [&](quint64 n, const QVariant& key) {
        if (n <= low || m_logApplied.contains(n)) return;
        m_logApplied.insert(n);
        if (key.isNull() || !m_integerKey)
            everything = true;
        else
            keys << key.toLongLong();
    };
    {
        Statement q = m_connection->exec(SqlBuilder::readChangeLog(m_tableName), {low});
        while (q->next()) {
            const quint64 n = q->value(0).toULongLong();
            last = std::max(last, n);
            take(n, q->value(1));
        }
    }
    if (last < m_logMark) {
        // The log was emptied or made anew: start again from what it holds now.
        m_logMark = readLogMark();
        fetch(true);
        return;
    }
    quint64 applied = 0;
    for (quint64 n : std::as_const(m_logApplied))
        applied += n > m_logMark && n <= last;
    if (applied < last - m_logMark) {
        bool settled = false;
        if (!m_connection->inTransaction()) {
            try {
                Statement q =
                    m_connection->exec(SqlBuilder::settleChangeLog(m_tableName), {m_logMark, last});
                while (q->next())
                    take(q->value(0).toULongLong(), q->value(1));
                settled = true;
            } catch (const DbError& e) {
                if (!isLockBusy(e)) throw;
            }
        }
        if (!settled) {
            while (m_logMark < last && m_logApplied.contains(m_logMark + 1))
                ++m_logMark;
            last = m_logMark;
        }
    }
    m_logMark = last;
    const quint64 keep = m_logMark > kLogWindow ? m_logMark - kLogWindow : 0;
    m_logApplied.removeIf([keep](quint64 n) { return n <= keep; });
    if (everything || keys.size() > std::max<qsizetype>(100, recordCount() / 10)) {
        fetch(true);
        return;
    }
    applyChangedKeys(keys);
}

// Compares the server's signatures with the rows held: rows gone are dropped, new
// and changed ones are read again; when many changed, the whole table is re-read.
void Table::refreshFromSignatures() {
    QSqlQuery q = m_connection->exec(
        SqlBuilder::selectSignatures(m_tableName, m_columns[m_pk].name, m_signature));
    QList<qint64> changed;
    QSet<const Row*> present;
    present.reserve(recordCount());
    while (q.next()) {
        const qint64 key = q.value(0).toLongLong();
        const Row* row = m_byKey.value(key);
        if (row) present.insert(row);
        if (!row || !row->isSigned || row->signature != q.value(1).toULongLong()) changed << key;
    }
    for (const RowPtr& r : m_rows)
        if (r->hasKey && !present.contains(r.get())) changed << r->key;
    if (changed.size() > std::max<qsizetype>(100, recordCount() / 10)) {
        fetch(true, true);
        return;
    }
    applyChangedKeys(changed);
}

// Reads the rows of `keys` again: a row found replaces the one held (moving when its
// place in the order changed), a new one is inserted in its place, a row gone is
// removed. Each step is signalled on its own; the current row stays current.
void Table::applyChangedKeys(const QList<qint64>& keys) {
    if (keys.isEmpty()) return;
    const Row* currentBefore = currentRow();
    const bool currentKeyed = currentBefore && currentBefore->hasKey;
    const qint64 currentKey = currentKeyed ? currentBefore->key : 0;
    const int currentOld = m_current;
    // The current row is followed after every step, so that views told of the step
    // find the table where they expect it.
    const auto follow = [&] {
        const Row* same = currentKeyed ? m_byKey.value(currentKey) : nullptr;
        const int found = same ? positionOf(same) : -1;
        m_current = m_rows.empty() ? -1
                    : found >= 0   ? found
                                   : std::clamp(currentOld, 0, recordCount() - 1);
        m_eof = m_bof = m_rows.empty();
    };
    const int stored = int(m_columns.size()) - int(m_calculated.size());
    QSet<qint64> pending(keys.begin(), keys.end());
    const QList<qint64> unique(pending.begin(), pending.end());
    const QString key = m_columns[m_pk].name;
    const QString extra = m_withSignatures
                              ? m_signature + QStringLiteral(" AS ") + SqlBuilder::signatureAlias()
                              : QString();
    for (qsizetype from = 0; from < unique.size();) {
        const int block = SqlBuilder::keyBlock(int(unique.size() - from));
        QVariantList binds;
        for (int i = 0; i < block; ++i)
            binds << unique[std::min(from + i, unique.size() - 1)];
        from += block;
        Statement q =
            m_connection->exec(SqlBuilder::selectByKeys(m_tableName, key, block, extra), binds);
        while (q->next()) {
            RowPtr fresh = readRow(*q, stored, m_withSignatures);
            if (!pending.remove(fresh->key)) continue; // a key repeated to fill the block
            Row* held = m_byKey.value(fresh->key);
            const int at = held ? positionOf(held) : -1;
            if (at >= 0) {
                const bool stays = (at == 0 || !rowLess(*fresh, *m_rows[at - 1])) &&
                                   (at + 1 == recordCount() || !rowLess(*m_rows[at + 1], *fresh));
                if (stays) {
                    m_byKey.insert(fresh->key, fresh.get());
                    m_rows[at] = std::move(fresh);
                    emit rowChanged(at);
                    continue;
                }
                m_byKey.remove(held->key);
                m_rows.erase(m_rows.begin() + at);
                follow();
                emit rowRemoved(at);
            }
            const int to = insertPosition(*fresh);
            m_byKey.insert(fresh->key, fresh.get());
            m_rows.insert(m_rows.begin() + to, std::move(fresh));
            follow();
            emit rowInserted(to);
        }
    }
    for (qint64 gone : std::as_const(pending)) {
        Row* held = m_byKey.value(gone);
        const int at = held ? positionOf(held) : -1;
        if (at < 0) continue;
        m_byKey.remove(gone);
        m_rows.erase(m_rows.begin() + at);
        follow();
        emit rowRemoved(at);
    }
    follow();
}

bool Table::rowLess(const Row& a, const Row& b) const {
    for (const QString& name : m_orderBy) {
        const int c = fieldIndex(name);
        if (c < 0) continue;
        const int r = compareValues(rowValue(a, c), rowValue(b, c));
        if (r != 0) return r < 0;
    }
    return false;
}

// The position of a row held: by its place in the order where there is one.
int Table::positionOf(const Row* row) const {
    auto it = m_rows.begin();
    if (!m_orderBy.isEmpty())
        it = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                              [this](const RowPtr& a, const Row* b) { return rowLess(*a, *b); });
    for (; it != m_rows.end(); ++it)
        if (it->get() == row) return int(it - m_rows.begin());
    for (int r = 0; r < recordCount(); ++r) // rows out of order (not sorted by the table)
        if (m_rows[r].get() == row) return r;
    return -1;
}

int Table::insertPosition(const Row& row) const {
    if (m_orderBy.isEmpty()) return recordCount();
    return int(std::upper_bound(m_rows.begin(), m_rows.end(), &row,
                                [this](const Row* a, const RowPtr& b) { return rowLess(*a, *b); }) -
               m_rows.begin());
}

void Table::sortRows() {
    if (!m_orderBy.isEmpty()) {
        const auto less = [this](const RowPtr& a, const RowPtr& b) { return rowLess(*a, *b); };
        // Rows usually arrive in order already (the server sorts a table read by name).
        if (!std::is_sorted(m_rows.begin(), m_rows.end(), less))
            std::stable_sort(m_rows.begin(), m_rows.end(), less);
    }
    rebuildKeyIndex();
}

void Table::calcFields(Row& row) {
    if (!m_onCalcFields || m_calculated.empty()) return;
    const bool wasOpen = bool(row.open);
    openRow(row);
    Row* saved = m_calcRow;
    m_calcRow = &row;
    try {
        m_onCalcFields(*this);
    } catch (...) {
        m_calcRow = saved;
        throw;
    }
    m_calcRow = saved;
    if (!wasOpen) closeRow(row);
}

// ---- navigation ---------------------------------------------------------------

Table::Row* Table::currentRow() const {
    return m_current >= 0 && m_current < recordCount() ? m_rows[m_current].get() : nullptr;
}

Table::Row* Table::accessRow() const {
    return m_calcRow ? m_calcRow : currentRow();
}

void Table::setPosition(int row, bool notify) {
    const int old = m_current;
    m_current = m_rows.empty() ? -1 : std::clamp(row, 0, recordCount() - 1);
    if (notify && old != m_current) emit afterScroll();
}

void Table::first() {
    requireOpen();
    checkBrowseMode();
    setPosition(0);
    m_bof = true;
    m_eof = m_rows.empty();
}

void Table::last() {
    requireOpen();
    checkBrowseMode();
    setPosition(recordCount() - 1);
    m_eof = true;
    m_bof = m_rows.empty();
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
    m_eof = m_bof = m_rows.empty();
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
        const Row& row = *m_rows[r];
        if (sameValue(rowValue(row, c1), value1) &&
            (c2 < 0 || sameValue(rowValue(row, c2), value2))) {
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
        const Row* row = m_byKey.value(k.toLongLong());
        return row ? positionOf(row) : -1;
    }
    for (int r = 0; r < recordCount(); ++r)
        if (rowValue(*m_rows[r], m_pk) == k) return r;
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
    if (!bookmark.isValid() || m_rows.empty()) return false;
    const int found = findKey(bookmark.key);
    if (found < 0 && !bookmark.key.isEmpty()) return false;
    moveTo(found >= 0 ? found : std::min(bookmark.index, recordCount() - 1));
    return true;
}

// ---- fields ------------------------------------------------------------------

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
    return rowValue(*m_rows[row], column);
}

QVariant Table::currentValue(int column) const {
    const Row* row = accessRow();
    return row && column >= 0 && column < columnCount() ? rowValue(*row, column) : QVariant();
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
    if (sameValue(old, v) && old.isNull() == v.isNull()) return;
    // A stored row keeps its key: other rows (an invoice's lines) refer to it.
    if (column == m_pk && m_state == TableState::Edit && !m_calcRow && row == currentRow())
        throw DbError(QStringLiteral("Il campo '%1' è la chiave della riga registrata nella "
                                     "tabella '%2' e non può essere modificato")
                          .arg(m_columns[column].name, m_tableName));
    const bool wasOpen = bool(row->open);
    openRow(*row)[column] = v;
    if (!wasOpen) closeRow(*row);
    if (!calculated && row == currentRow() && isEditing()) {
        m_changed[column] = true;
        emit fieldChanged(column);
    }
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

// ---- editing -------------------------------------------------------------------

void Table::edit() {
    requireOpen();
    if (isEditing()) return;
    if (m_rows.empty()) {
        append();
        return;
    }
    m_original = openRow(*currentRow());
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
    auto row = std::make_unique<Row>();
    row->open = std::make_unique<QVector<QVariant>>(columnCount());
    m_insertedFrom = m_current;
    m_rows.insert(m_rows.begin() + at, std::move(row));
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
    closeRow(*row);
    // The row changes place only when it is new or a column of the order changed.
    bool reorder = isNew;
    for (const QString& c : m_orderBy)
        reorder = reorder || (fieldIndex(c) >= 0 && m_changed[fieldIndex(c)]);
    if (reorder && !m_orderBy.isEmpty()) {
        // The other rows are in order: the row moves to its place among them.
        RowPtr moved = std::move(m_rows[m_current]);
        m_rows.erase(m_rows.begin() + m_current);
        m_current = insertPosition(*moved);
        m_rows.insert(m_rows.begin() + m_current, std::move(moved));
    }
    setState(TableState::Browse);
    emit dataSetChanged();
    emit afterPost();
}

void Table::cancel() {
    if (!isEditing()) return;
    if (m_state == TableState::Insert) {
        m_rows.erase(m_rows.begin() + m_current);
        m_current = m_rows.empty() ? -1 : std::clamp(m_insertedFrom, 0, recordCount() - 1);
        m_eof = m_bof = m_rows.empty();
    } else if (m_hasOriginal) {
        Row& row = *currentRow();
        *row.open = m_original;
        closeRow(row);
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
    if (row->hasKey) m_byKey.remove(row->key);
    m_rows.erase(m_rows.begin() + m_current);
    m_current = m_rows.empty() ? -1 : std::min(m_current, recordCount() - 1);
    m_eof = m_bof = m_rows.empty();
    emit dataSetChanged();
    emit afterScroll();
}

void Table::checkBrowseMode() {
    if (isEditing()) post();
}

// A row is found by its primary key; a table without one by every stored value as
// read, touching at most one row.
QString Table::whereRow(const Row& row, QVariantList& binds, bool useOriginal) const {
    QVector<QVariant> values;
    if (useOriginal && m_hasOriginal)
        values = m_original;
    else if (row.open)
        values = *row.open;
    else
        row.packed.unpack(values, m_types);
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
    QVector<QVariant>& values = openRow(row);
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
    const QVector<QVariant>& values = openRow(row);
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
    QVector<QVariant>& values = openRow(row);
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

// ---- master/detail and automatic refresh ------------------------------------------

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
