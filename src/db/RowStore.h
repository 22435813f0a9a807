#pragma once

#include "PackedRow.h"

#include <QHash>
#include <QMetaType>
#include <QVariant>
#include <QVector>
#include <memory>
#include <vector>

// One row a table component holds.
struct StoredRow {
    PackedRow packed;
    std::unique_ptr<QVector<QVariant>> open; // the values while they are being set
    qint64 key = 0;                          // the integer key, when the table has one
    quint64 signature = 0;                   // the server's signature as read
    bool hasKey = false;
    bool isSigned = false; // false when the signature is unknown
};

// The rows a table component holds: their values packed, in the table's order, found
// by integer key. A row is either packed (its values readable, not changeable) or open
// (its values in a vector that can be changed, until it is closed and packed again); it
// is found under the key it had when it was last closed. Rows ordered by their key are
// found by a binary search, others through an index.
class RowStore {
public:
    using Row = StoredRow;
    using RowPtr = std::unique_ptr<Row>;

    // Two values are the same when both are null or their texts are equal.
    static bool sameValue(const QVariant& a, const QVariant& b);

    // The columns' types (for their null values), the integer key's column (-1 without
    // one) and the columns of the order (none: the rows stay as they come).
    void setLayout(std::vector<QMetaType::Type> types, int integerKey, std::vector<int> order);
    bool ordered() const { return !m_order.empty(); }
    const std::vector<int>& order() const { return m_order; }

    int size() const { return int(m_rows.size()); }
    bool empty() const { return m_rows.empty(); }
    Row* at(int row) const { return m_rows[row].get(); }
    void clear();

    QVariant value(const Row& row, int column) const;
    QVector<QVariant> values(const Row& row) const; // a copy, packed or open
    QVector<QVariant>& open(Row& row);
    // Packs an open row again; a row held here (`held`) is then found under its key.
    void close(Row& row, bool held = true);
    RowPtr newRow(int columns) const; // an open row of null values

    // Every row at once, in the order they came; sorted when the store has an order.
    void assign(std::vector<RowPtr> rows);
    // The rows hold the same values as `rows`, in the same order.
    bool sameRows(const std::vector<RowPtr>& rows) const;
    void insert(int at, RowPtr row); // indexed under its key
    RowPtr take(int at);             // out of the rows and of the index
    void replace(int at, RowPtr row);

    Row* byKey(qint64 key) const;
    // The position of a row held (found through the order where there is one), or -1.
    int positionOf(const Row* row) const;
    // Where a row goes among the others: after its equals, at the end without an order.
    int insertPosition(const Row& row) const;
    // `row` may stand at `at` in place of the row there without breaking the order.
    bool fitsAt(int at, const Row& row) const;
    bool less(const Row& a, const Row& b) const;

    // Bytes held for the rows' values (without the store's fixed overhead).
    std::size_t bytes() const;

private:
    bool indexed() const { return m_key >= 0 && !m_keyOrder; }
    void rebuildIndex();
    void forget(const Row& row); // out of the index, before it leaves the rows
    void learn(Row& row);        // into the index, once it is among the rows

    std::vector<RowPtr> m_rows;
    QHash<qint64, Row*> m_byKey; // only when the order does not begin with the key
    int m_unkeyed = 0;           // rows without a key (open ones being inserted)
    std::vector<QMetaType::Type> m_types;
    int m_key = -1;
    bool m_keyOrder = false; // the order begins with the key: rows are in key order
    std::vector<int> m_order;
};
