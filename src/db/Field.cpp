#include "Field.h"

#include "DbError.h"
#include "Table.h"
#include "platform/Testi.h"

QString Field::name() const {
    return m_table->m_columns[m_column].name;
}
int Field::size() const {
    return m_table->m_columns[m_column].size;
}

QVariant Field::value() const {
    return m_table->currentValue(m_column);
}
void Field::setValue(const QVariant& value) {
    m_table->setCurrentValue(m_column, value);
}
bool Field::isNull() const {
    return value().isNull();
}

QString Field::asString() const {
    return textOf(value());
}

QString Field::textOf(const QVariant& v) {
    if (v.isNull()) return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return Testi::generale(v.toDouble());
    case QMetaType::QDate:
        return Testi::testoData(v.toDate());
    case QMetaType::QDateTime:
        return Testi::testoData(v.toDateTime().date());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return v.toString();
    }
}

void Field::setAsString(const QString& text) {
    const ColumnInfo& c = m_table->m_columns[m_column];
    if (c.isText()) {
        setValue(text);
        return;
    }
    if (text.isEmpty()) {
        setValue(QVariant());
        return;
    }
    if (c.isInteger()) {
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        if (!ok) throw DbError(QStringLiteral("'%1' non è un valore intero valido").arg(text));
        setValue(v);
    } else if (c.isFloat()) {
        setValue(double(Testi::numero(text)));
    } else if (c.isDate()) {
        setValue(Testi::data(text));
    } else {
        setValue(text);
    }
}

int Field::asInteger() const {
    const QVariant v = value();
    if (v.isNull()) return 0;
    bool ok = false;
    const int i = v.toInt(&ok);
    if (!ok) throw DbError(QStringLiteral("'%1' non è un valore intero valido").arg(v.toString()));
    return i;
}

void Field::setAsInteger(int value) {
    const ColumnInfo& c = m_table->m_columns[m_column];
    setValue(c.isText() ? QVariant(QString::number(value)) : QVariant(value));
}

bool Field::asBoolean() const {
    const QVariant v = value();
    if (v.isNull()) return false;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        return s == QLatin1String("true") || s == QLatin1String("1");
    }
    return v.toLongLong() != 0;
}

void Field::setAsBoolean(bool value) {
    const ColumnInfo& c = m_table->m_columns[m_column];
    setValue(c.isText() ? QVariant(value ? QStringLiteral("True") : QStringLiteral("False"))
                        : QVariant(value ? 1 : 0));
}

double Field::asFloat() const {
    const QVariant v = value();
    if (v.isNull()) return 0.0;
    if (v.typeId() == QMetaType::QString) return double(Testi::numero(v.toString()));
    return v.toDouble();
}

void Field::setAsFloat(double value) {
    setValue(value);
}

QDate Field::asDate() const {
    const QVariant v = value();
    if (v.isNull()) return QDate();
    if (v.typeId() == QMetaType::QString) return Testi::data(v.toString());
    return v.toDate();
}
