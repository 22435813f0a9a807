#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

class Table;

// A field of the row a table component is positioned on (or of the row whose
// calculated fields are being computed). A light handle: copy it freely.
class Field {
public:
    Field(Table* table, int column) : m_table(table), m_column(column) {}

    QString name() const;
    int index() const { return m_column; }
    int size() const;

    QVariant value() const; // null for a null column
    void setValue(const QVariant& value);
    bool isNull() const;
    void clear() { setValue(QVariant()); }

    QString asString() const;
    // The text a field shows for a value: numbers and dates in the Italian form.
    static QString textOf(const QVariant& value);
    void setAsString(const QString& text);
    int asInteger() const;
    void setAsInteger(int value);
    bool asBoolean() const;
    void setAsBoolean(bool value);
    double asFloat() const;
    void setAsFloat(double value);
    QDate asDate() const;

private:
    Table* m_table;
    int m_column;
};
