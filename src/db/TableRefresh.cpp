// The refresh of a table component: from the change log that triggers keep beside its
// table, else from the signatures of its rows, else by reading everything again.
#include "Table.h"

#include "Connection.h"
#include "DbError.h"
#include "RowStore.h"
#include "SqlBuilder.h"

#include <QSqlQuery>
#include <algorithm>

namespace {

constexpr int kLogWindow = 256; // log entries re-read below the mark (see refreshFromLog)

// A lock held by a transaction still writing: the statement did not wait for it.
bool isLockBusy(const DbError& e) {
    return e.messaggio().contains(QLatin1String("(1205)")) ||
           e.messaggio().contains(QLatin1String("(1213)"));
}

} // namespace

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
        const Row* row = m_store->byKey(key);
        if (row) present.insert(row);
        if (!row || !row->isSigned || row->signature != q.value(1).toULongLong()) changed << key;
    }
    for (int r = 0; r < recordCount(); ++r)
        if (const Row* row = m_store->at(r); row->hasKey && !present.contains(row))
            changed << row->key;
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
        const Row* same = currentKeyed ? m_store->byKey(currentKey) : nullptr;
        const int found = same ? m_store->positionOf(same) : -1;
        m_current = m_store->empty() ? -1
                    : found >= 0     ? found
                                     : std::clamp(currentOld, 0, recordCount() - 1);
        m_eof = m_bof = m_store->empty();
    };
    const int stored = int(m_columns.size()) - int(m_calculated.size());
    QSet<qint64> pending(keys.begin(), keys.end());
    const QList<qint64> unique(pending.begin(), pending.end());
    const QString key = m_columns[m_pk].name;
    const QString extra = m_withSignatures ? signatureColumn() : QString();
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
            Row* held = m_store->byKey(fresh->key);
            const int at = held ? m_store->positionOf(held) : -1;
            if (at >= 0) {
                if (m_store->fitsAt(at, *fresh)) {
                    m_store->replace(at, std::move(fresh));
                    emit rowChanged(at);
                    continue;
                }
                m_store->take(at);
                follow();
                emit rowRemoved(at);
            }
            const int to = m_store->insertPosition(*fresh);
            m_store->insert(to, std::move(fresh));
            follow();
            emit rowInserted(to);
        }
    }
    for (qint64 gone : std::as_const(pending)) {
        Row* held = m_store->byKey(gone);
        const int at = held ? m_store->positionOf(held) : -1;
        if (at < 0) continue;
        m_store->take(at);
        follow();
        emit rowRemoved(at);
    }
    follow();
}
