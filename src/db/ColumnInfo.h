#pragma once

#include <QMetaType>
#include <QString>

// What the access layer knows of one field of a table component.
struct ColumnInfo {
    QString name;
    QMetaType::Type type = QMetaType::QString;
    int size = 0;            // characters of a text column; 0 when unlimited or not text
    bool calculated = false; // set by the calculated-fields handler, never read or written
    bool primaryKey = false;
    bool autoIncrement = false;

    bool isText() const { return type == QMetaType::QString || type == QMetaType::QByteArray; }
    bool isInteger() const {
        return type == QMetaType::Int || type == QMetaType::UInt || type == QMetaType::LongLong ||
               type == QMetaType::ULongLong || type == QMetaType::Short ||
               type == QMetaType::UShort || type == QMetaType::Char || type == QMetaType::UChar ||
               type == QMetaType::SChar || type == QMetaType::Bool;
    }
    bool isFloat() const { return type == QMetaType::Double || type == QMetaType::Float; }
    bool isDate() const {
        return type == QMetaType::QDate || type == QMetaType::QDateTime || type == QMetaType::QTime;
    }
};

// Kinds of declared fields, checked against the columns when the table opens.
enum class FieldKind { Text, Integer, Number, Date, Boolean, Any };
