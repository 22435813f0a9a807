#pragma once

#include "db/Table.h" // DataSource::table() needs the whole class

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>

class Field;
struct ColumnInfo;

// Binds one control to one field of a data source: tells the control when to show the
// field again and writes what the user typed, putting the table into edit state first.
class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(QObject* parent = nullptr);

    void setDataSource(DataSource* ds);
    DataSource* dataSource() const { return m_ds; }
    void setField(const QString& name);
    QString fieldName() const { return m_field; }

    Table* table() const;
    int column() const; // -1 while the table is closed or lacks the field
    const ColumnInfo* columnInfo() const;
    bool canModify() const; // open table, stored field
    QString text() const;   // the field's text on the current row, empty without one
    QVariant value() const;

    // The user changed the control: starts the edit (a new row on an empty table) and
    // writes. The control is not told to show the field while this runs, so what the
    // user typed stays. Errors are shown unless `quiet`; returns false on error.
    bool write(const std::function<void(Field&)>& writer, bool quiet = false);
    bool writing() const { return m_writing; }

    // Runs `action`; errors of the data layer and of conversions are shown to the user.
    static bool protect(const std::function<void()>& action);
    // The text of a value as a field shows it (decimal comma, day/month/year dates).
    static QString textOf(const QVariant& value);

signals:
    void changed(); // the control should show the field again

private:
    void onFieldChanged(int column);
    void notify();

    QPointer<DataSource> m_ds;
    QString m_field;
    bool m_writing = false;
};
