#include "FieldLink.h"

#include "db/DataSource.h"
#include "db/Table.h"
#include "platform/Errore.h"
#include "platform/ErroreConversione.h"
#include "widgets/TAzione.h"

FieldLink::FieldLink(QObject* parent) : QObject(parent) {}

void FieldLink::setDataSource(DataSource* ds) {
    if (m_ds) disconnect(m_ds, nullptr, this, nullptr);
    m_ds = ds;
    if (ds) {
        connect(ds, &DataSource::recordChanged, this, &FieldLink::notify);
        connect(ds, &DataSource::dataSetChanged, this, &FieldLink::notify);
        connect(ds, &DataSource::stateChanged, this, &FieldLink::notify);
        connect(ds, &DataSource::fieldChanged, this, &FieldLink::onFieldChanged);
        connect(ds, &QObject::destroyed, this, &FieldLink::notify);
    }
    emit changed();
}

void FieldLink::setField(const QString& name) {
    m_field = name;
    emit changed();
}

Table* FieldLink::table() const {
    return m_ds ? m_ds->table() : nullptr;
}

int FieldLink::column() const {
    const Table* t = table();
    return t && t->isOpen() && !m_field.isEmpty() ? t->fieldIndex(m_field) : -1;
}

const ColumnInfo* FieldLink::columnInfo() const {
    const int c = column();
    return c >= 0 ? &table()->columns()[c] : nullptr;
}

bool FieldLink::canModify() const {
    const ColumnInfo* info = columnInfo();
    return info && !info->calculated;
}

QVariant FieldLink::value() const {
    const int c = column();
    return c >= 0 ? table()->currentValue(c) : QVariant();
}

QString FieldLink::text() const {
    const int c = column();
    return c >= 0 && table()->recNo() >= 0 ? table()->field(c).asString() : QString();
}

bool FieldLink::write(const std::function<void(Field&)>& writer, bool quiet) {
    if (!canModify()) return false;
    m_writing = true;
    auto action = [&] {
        m_ds->edit();
        Field f = table()->field(column());
        writer(f);
    };
    bool ok = true;
    if (quiet) {
        try {
            action();
        } catch (const Errore&) {
            ok = false;
        }
    } else {
        ok = protect(action);
    }
    m_writing = false;
    return ok;
}

bool FieldLink::protect(const std::function<void()>& action) {
    return TAzione::esegui(action);
}

QString FieldLink::textOf(const QVariant& v) {
    return Field::textOf(v);
}

void FieldLink::onFieldChanged(int column) {
    if (column == this->column()) notify();
}

void FieldLink::notify() {
    if (!m_writing) emit changed();
}
