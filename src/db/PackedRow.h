#pragma once

#include <QMetaType>
#include <QVariant>
#include <QVector>
#include <cstddef>
#include <memory>

// The values of one row in a single allocation: its size and column count, then per
// column a type tag, text as UTF-8 with its length, numbers, dates and times in binary;
// a run of null columns takes two bytes. A cached row thus costs little more than its
// texts; values are unpacked when they are read.
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
    std::size_t bytes() const; // the allocation's size
    bool operator==(const PackedRow& other) const;

private:
    // Where the value of `column` starts; null when it lies in a run of nulls.
    const unsigned char* find(int column, bool& null) const;
    std::unique_ptr<unsigned char[]> m_data;
};
