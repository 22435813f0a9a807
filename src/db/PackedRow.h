#pragma once

#include <QMetaType>
#include <QVariant>
#include <QVector>
#include <cstddef>
#include <memory>

// The values of one row in a single allocation: per column a type tag, then text as
// UTF-8 with its length, numbers, dates and times in binary. A cached row thus costs
// little more than its texts; values are unpacked when they are read.
class PackedRow {
public:
    PackedRow() = default;
    explicit PackedRow(const QVector<QVariant>& values);

    bool isEmpty() const { return !m_data; }
    int count() const;
    // The value of `column`; a null value carries `nullType`.
    QVariant value(int column, QMetaType::Type nullType) const;
    // Appends every value to `out`, nulls typed by `nullTypes`.
    void unpack(QVector<QVariant>& out, const std::vector<QMetaType::Type>& nullTypes) const;
    std::size_t bytes() const { return m_size; }

private:
    const unsigned char* find(int column) const;
    std::unique_ptr<unsigned char[]> m_data;
    std::size_t m_size = 0;
};
