#include "PackedRow.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cstring>
#include <string>

namespace {

// A tag byte below ShortText is a text of that many UTF-8 bytes, which follow.
constexpr unsigned char ShortText = 0x80;

enum Tag : unsigned char {
    Null = ShortText,
    Text,
    Bytes,
    Int32,
    UInt32,
    Int64,
    UInt64,
    Real,
    Boolean,
    Date,
    DateTime,
    Time,
    Other,   // any other type, through its text and type id
    NullRun, // a count byte follows: that many null columns
};

constexpr int kHeader = 6; // the allocation's size (4 bytes), the column count (2)
constexpr int kMaxRun = 255;

// Rows are packed into one buffer of the thread, then copied into their allocation.
using Buffer = std::string;

void putVarint(Buffer& out, quint64 v) {
    while (v >= 0x80) {
        out.push_back(char((v & 0x7f) | 0x80));
        v >>= 7;
    }
    out.push_back(char(v));
}

quint64 getVarint(const unsigned char*& p) {
    quint64 v = 0;
    int shift = 0;
    while (*p & 0x80) {
        v |= quint64(*p++ & 0x7f) << shift;
        shift += 7;
    }
    v |= quint64(*p++) << shift;
    return v;
}

template <typename T> void putRaw(Buffer& out, T v) {
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

template <typename T> T getRaw(const unsigned char*& p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    p += sizeof v;
    return v;
}

void putBytes(Buffer& out, const QByteArray& bytes) {
    putVarint(out, quint64(bytes.size()));
    out.append(bytes.constData(), std::size_t(bytes.size()));
}

// A text of ASCII characters is its own UTF-8: copied without a conversion.
void putText(Buffer& out, const QString& text) {
    const qsizetype n = text.size();
    bool ascii = n < ShortText;
    for (qsizetype i = 0; ascii && i < n; ++i)
        ascii = text[i].unicode() < 0x80;
    if (ascii) {
        out.push_back(char(n));
        const std::size_t at = out.size();
        out.resize(at + std::size_t(n));
        for (qsizetype i = 0; i < n; ++i)
            out[at + std::size_t(i)] = char(text[i].unicode());
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() < ShortText) {
        out.push_back(char(utf8.size()));
        out.append(utf8.constData(), std::size_t(utf8.size()));
    } else {
        out.push_back(char(Text));
        putBytes(out, utf8);
    }
}

void pack(Buffer& out, const QVariant& v) {
    if (v.isNull()) {
        out.push_back(char(Null));
        return;
    }
    switch (v.typeId()) {
    case QMetaType::QString:
        putText(out, *static_cast<const QString*>(v.constData()));
        return;
    case QMetaType::QByteArray:
        out.push_back(char(Bytes));
        putBytes(out, v.toByteArray());
        return;
    case QMetaType::Int:
        out.push_back(char(Int32));
        putRaw<qint32>(out, v.toInt());
        return;
    case QMetaType::UInt:
        out.push_back(char(UInt32));
        putRaw<quint32>(out, v.toUInt());
        return;
    case QMetaType::LongLong:
        out.push_back(char(Int64));
        putRaw<qint64>(out, v.toLongLong());
        return;
    case QMetaType::ULongLong:
        out.push_back(char(UInt64));
        putRaw<quint64>(out, v.toULongLong());
        return;
    case QMetaType::Double:
        out.push_back(char(Real));
        putRaw<double>(out, v.toDouble());
        return;
    case QMetaType::Bool:
        out.push_back(char(Boolean));
        out.push_back(char(v.toBool()));
        return;
    case QMetaType::QDate:
        out.push_back(char(Date));
        putRaw<qint64>(out, v.toDate().toJulianDay());
        return;
    case QMetaType::QDateTime:
        out.push_back(char(DateTime));
        putRaw<qint64>(out, v.toDateTime().toMSecsSinceEpoch());
        return;
    case QMetaType::QTime:
        out.push_back(char(Time));
        putRaw<qint32>(out, v.toTime().msecsSinceStartOfDay());
        return;
    default:
        out.push_back(char(Other));
        putRaw<qint32>(out, v.typeId());
        putBytes(out, v.toString().toUtf8());
        return;
    }
}

QVariant unpackOne(const unsigned char*& p, QMetaType::Type nullType) {
    const auto bytes = [&p] {
        const auto n = qsizetype(getVarint(p));
        const auto* start = reinterpret_cast<const char*>(p);
        p += n;
        return std::pair{start, n};
    };
    if (*p < ShortText) {
        const int n = *p++;
        const auto* start = reinterpret_cast<const char*>(p);
        p += n;
        return QString::fromUtf8(start, n);
    }
    switch (Tag(*p++)) {
    case Null:
        return QVariant(QMetaType(nullType));
    case Text: {
        const auto [s, n] = bytes();
        return QString::fromUtf8(s, n);
    }
    case Bytes: {
        const auto [s, n] = bytes();
        return QByteArray(s, n);
    }
    case Int32:
        return getRaw<qint32>(p);
    case UInt32:
        return getRaw<quint32>(p);
    case Int64:
        return getRaw<qint64>(p);
    case UInt64:
        return getRaw<quint64>(p);
    case Real:
        return getRaw<double>(p);
    case Boolean:
        return bool(*p++);
    case Date:
        return QDate::fromJulianDay(getRaw<qint64>(p));
    case DateTime:
        return QDateTime::fromMSecsSinceEpoch(getRaw<qint64>(p));
    case Time:
        return QTime::fromMSecsSinceStartOfDay(getRaw<qint32>(p));
    case NullRun:
        break;
    case Other: {
        const int type = getRaw<qint32>(p);
        const auto [s, n] = bytes();
        QVariant v(QString::fromUtf8(s, n));
        v.convert(QMetaType(type));
        return v;
    }
    }
    return QVariant();
}

void skipOne(const unsigned char*& p) {
    if (*p < ShortText) {
        p += 1 + *p;
        return;
    }
    switch (Tag(*p++)) {
    case Null:
        return;
    case Text:
    case Bytes: {
        const quint64 n = getVarint(p);
        p += n;
        return;
    }
    case Int32:
    case UInt32:
    case Time:
        p += 4;
        return;
    case Int64:
    case UInt64:
    case Real:
    case Date:
    case DateTime:
        p += 8;
        return;
    case Boolean:
        p += 1;
        return;
    case NullRun:
        p += 1;
        return;
    case Other: {
        p += 4;
        const quint64 n = getVarint(p);
        p += n;
        return;
    }
    }
}

} // namespace

PackedRow::PackedRow(const QVector<QVariant>& values) {
    thread_local Buffer out;
    out.clear();
    putRaw<quint32>(out, 0);
    putRaw<quint16>(out, quint16(values.size()));
    for (qsizetype i = 0; i < values.size();) {
        qsizetype run = 0;
        while (i + run < values.size() && run < kMaxRun && values[i + run].isNull())
            ++run;
        if (run > 1) {
            out.push_back(char(NullRun));
            out.push_back(char(run));
            i += run;
            continue;
        }
        pack(out, values[i++]);
    }
    const quint32 size = quint32(out.size());
    std::memcpy(out.data(), &size, sizeof size);
    m_data = std::make_unique_for_overwrite<unsigned char[]>(size);
    std::memcpy(m_data.get(), out.data(), size);
}

std::size_t PackedRow::bytes() const {
    if (!m_data) return 0;
    quint32 size;
    std::memcpy(&size, m_data.get(), sizeof size);
    return size;
}

bool PackedRow::operator==(const PackedRow& other) const {
    const std::size_t size = bytes();
    return size == other.bytes() &&
           (size == 0 || std::memcmp(m_data.get(), other.m_data.get(), size) == 0);
}

int PackedRow::count() const {
    if (!m_data) return 0;
    quint16 n;
    std::memcpy(&n, m_data.get() + 4, sizeof n);
    return n;
}

const unsigned char* PackedRow::find(int column, bool& null) const {
    null = false;
    if (column < 0 || column >= count()) return nullptr;
    const unsigned char* p = m_data.get() + kHeader;
    for (int i = 0; i < column;) {
        if (*p == NullRun) {
            i += p[1];
            if (i > column) {
                null = true;
                return nullptr;
            }
            p += 2;
        } else {
            skipOne(p);
            ++i;
        }
    }
    if (*p == NullRun) {
        null = true;
        return nullptr;
    }
    return p;
}

QVariant PackedRow::value(int column, QMetaType::Type nullType) const {
    bool null = false;
    const unsigned char* p = find(column, null);
    if (null) return QVariant(QMetaType(nullType));
    return p ? unpackOne(p, nullType) : QVariant();
}

void PackedRow::unpack(QVector<QVariant>& out,
                       const std::vector<QMetaType::Type>& nullTypes) const {
    const int n = count();
    const unsigned char* p = m_data ? m_data.get() + kHeader : nullptr;
    out.reserve(out.size() + n);
    const auto nullType = [&nullTypes](int i) {
        return i < int(nullTypes.size()) ? nullTypes[i] : QMetaType::UnknownType;
    };
    for (int i = 0; i < n;) {
        if (*p == NullRun) {
            for (int k = 0; k < p[1]; ++k, ++i)
                out.append(QVariant(QMetaType(nullType(i))));
            p += 2;
        } else {
            out.append(unpackOne(p, nullType(i)));
            ++i;
        }
    }
}
