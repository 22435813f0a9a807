#include "DBCheckBox.h"

#include "FieldLink.h"
#include "db/Field.h"
#include "db/Table.h"

#include <QSignalBlocker>

DBCheckBox::DBCheckBox(QWidget* parent) : DBCheckBox(QString(), parent) {}

DBCheckBox::DBCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent), m_link(new FieldLink(this)) {
    connect(m_link, &FieldLink::changed, this, &DBCheckBox::showField);
    connect(this, &QCheckBox::clicked, this, [this](bool ticked) {
        if (!m_link->write([&](Field& f) { f.setAsBoolean(ticked); })) showField();
    });
}

void DBCheckBox::setDataSource(DataSource* ds) {
    m_link->setDataSource(ds);
}
DataSource* DBCheckBox::dataSource() const {
    return m_link->dataSource();
}
void DBCheckBox::setField(const QString& name) {
    m_link->setField(name);
}
QString DBCheckBox::field() const {
    return m_link->fieldName();
}

void DBCheckBox::showField() {
    const QSignalBlocker block(this);
    const int c = m_link->column();
    Table* t = m_link->table();
    bool ticked = false;
    if (c >= 0 && t->recNo() >= 0) FieldLink::protect([&] { ticked = t->field(c).asBoolean(); });
    setChecked(ticked);
}
