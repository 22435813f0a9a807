#include "RowStore.h"

#include <QPartialOrdering>
#include <algorithm>

namespace {

// Ascending order as the server's case-insensitive collation sorts; nulls first.
int compareValues(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return int(b.isNull()) - int(a.isNull());
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive);
    const QPartialOrdering o = QVariant::compare(a, b);
    return o == QPartialOrdering::Less ? -1 : o == QPartialOrdering::Greater ? 1 : 0;
}

} // namespace

bool RowStore::sameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() == b.isNull();
    return a.toString() == b.toString();
}

void RowStore::setLayout(std::vector<QMetaType::Type> types, int integerKey,
                         std::vector<int> order) {
    m_types = std::move(types);
    m_key = integerKey;
    m_order = std::move(order);
    m_keyOrder = m_key >= 0 && !m_order.empty() && m_order.front() == m_key;
}

void RowStore::clear() {
    m_rows.clear();
    m_byKey.clear();
    m_unkeyed = 0;
}

void RowStore::forget(const Row& row) {
    if (!row.hasKey) {
        --m_unkeyed;
        return;
    }
    if (indexed() && m_byKey.value(row.key) == &row) m_byKey.remove(row.key);
}

void RowStore::learn(Row& row) {
    if (!row.hasKey) {
        ++m_unkeyed;
        return;
    }
    if (indexed()) m_byKey.insert(row.key, &row);
}

RowStore::Row* RowStore::byKey(qint64 key) const {
    if (m_key < 0) return nullptr;
    if (indexed()) return m_byKey.value(key);
    if (m_unkeyed == 0) {
        const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), key,
                                         [](const RowPtr& r, qint64 k) { return r->key < k; });
        return it != m_rows.end() && (*it)->key == key ? it->get() : nullptr;
    }
    for (const RowPtr& r : m_rows) // a row being inserted stands anywhere
        if (r->hasKey && r->key == key) return r.get();
    return nullptr;
}

QVariant RowStore::value(const Row& row, int column) const {
    if (row.open) return column < row.open->size() ? row.open->at(column) : QVariant();
    return row.packed.value(column, m_types[column]);
}

QVector<QVariant> RowStore::values(const Row& row) const {
    if (row.open) return *row.open;
    QVector<QVariant> out;
    row.packed.unpack(out, m_types);
    return out;
}

QVector<QVariant>& RowStore::open(Row& row) {
    if (!row.open) {
        row.open = std::make_unique<QVector<QVariant>>();
        row.packed.unpack(*row.open, m_types);
        row.open->resize(qsizetype(m_types.size()));
    }
    return *row.open;
}

void RowStore::close(Row& row, bool held) {
    if (!row.open) return;
    if (held) forget(row);
    row.hasKey = false;
    if (m_key >= 0 && !row.open->at(m_key).isNull()) {
        row.key = row.open->at(m_key).toLongLong();
        row.hasKey = true;
    }
    if (held) learn(row);
    row.packed = PackedRow(*row.open);
    row.open.reset();
}

RowStore::RowPtr RowStore::newRow(int columns) const {
    auto row = std::make_unique<Row>();
    row->open = std::make_unique<QVector<QVariant>>(columns);
    return row;
}

void RowStore::assign(std::vector<RowPtr> rows) {
    m_rows = std::move(rows);
    if (ordered()) {
        const auto less = [this](const RowPtr& a, const RowPtr& b) { return this->less(*a, *b); };
        // Rows usually arrive in order already (the server sorts a table read by name).
        if (!std::is_sorted(m_rows.begin(), m_rows.end(), less))
            std::stable_sort(m_rows.begin(), m_rows.end(), less);
    }
    rebuildIndex();
}

bool RowStore::sameRows(const std::vector<RowPtr>& rows) const {
    if (rows.size() != m_rows.size()) return false;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (m_rows[i]->open || !(m_rows[i]->packed == rows[i]->packed)) return false;
    return true;
}

void RowStore::insert(int at, RowPtr row) {
    learn(*row);
    m_rows.insert(m_rows.begin() + at, std::move(row));
}

RowStore::RowPtr RowStore::take(int at) {
    RowPtr row = std::move(m_rows[at]);
    m_rows.erase(m_rows.begin() + at);
    forget(*row);
    return row;
}

void RowStore::replace(int at, RowPtr row) {
    forget(*m_rows[at]);
    learn(*row);
    m_rows[at] = std::move(row);
}

void RowStore::rebuildIndex() {
    m_byKey.clear();
    m_unkeyed = 0;
    if (indexed()) m_byKey.reserve(size());
    for (const RowPtr& r : m_rows)
        learn(*r);
}

bool RowStore::less(const Row& a, const Row& b) const {
    for (int c : m_order) {
        const int r = compareValues(value(a, c), value(b, c));
        if (r != 0) return r < 0;
    }
    return false;
}

int RowStore::positionOf(const Row* row) const {
    auto it = m_rows.begin();
    if (ordered())
        it = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                              [this](const RowPtr& a, const Row* b) { return less(*a, *b); });
    for (; it != m_rows.end(); ++it)
        if (it->get() == row) return int(it - m_rows.begin());
    for (int r = 0; r < size(); ++r) // rows out of order (a row being edited)
        if (m_rows[r].get() == row) return r;
    return -1;
}

int RowStore::insertPosition(const Row& row) const {
    if (!ordered()) return size();
    return int(std::upper_bound(m_rows.begin(), m_rows.end(), &row,
                                [this](const Row* a, const RowPtr& b) { return less(*a, *b); }) -
               m_rows.begin());
}

bool RowStore::fitsAt(int at, const Row& row) const {
    return (at == 0 || !less(row, *m_rows[at - 1])) &&
           (at + 1 == size() || !less(*m_rows[at + 1], row));
}

std::size_t RowStore::bytes() const {
    // Each row: its pointer, the row itself and its packed values, with the heap's
    // own 16 bytes per allocation; the key index, where there is one, adds about 24
    // bytes a row.
    std::size_t total = 0;
    for (const RowPtr& r : m_rows)
        total += sizeof(RowPtr) + sizeof(Row) + 16 + r->packed.bytes() + 16;
    return total + std::size_t(m_byKey.size()) * 24;
}
