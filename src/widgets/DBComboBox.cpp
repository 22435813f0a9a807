#include "DBComboBox.h"

#include "FieldLink.h"
#include "db/ColumnInfo.h"
#include "db/Field.h"

#include <QLineEdit>
#include <QSignalBlocker>

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent), m_link(new FieldLink(this)) {
    setInsertPolicy(QComboBox::NoInsert);
    connect(m_link, &FieldLink::changed, this, &DBComboBox::showField);
    connect(this, &QComboBox::activated, this, [this](int i) { writeText(itemText(i)); });
    setStyle(Style::DropDown);
}

void DBComboBox::setDataSource(DataSource* ds) {
    m_link->setDataSource(ds);
}
DataSource* DBComboBox::dataSource() const {
    return m_link->dataSource();
}
void DBComboBox::setField(const QString& name) {
    m_link->setField(name);
}
QString DBComboBox::field() const {
    return m_link->fieldName();
}

void DBComboBox::setItems(const QStringList& list) {
    {
        const QSignalBlocker block(this);
        clear();
        addItems(list);
    }
    showField();
}

QStringList DBComboBox::items() const {
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << itemText(i);
    return out;
}

void DBComboBox::setStyle(Style style) {
    m_style = style;
    {
        const QSignalBlocker block(this);
        setEditable(style == Style::DropDown);
    }
    if (QLineEdit* line = lineEdit()) {
        setCompleter(nullptr); // the field gets exactly what is typed
        connect(line, &QLineEdit::textEdited, this, &DBComboBox::writeText, Qt::UniqueConnection);
    }
    showField();
}

void DBComboBox::writeText(const QString& text) {
    if (!m_link->write([&](Field& f) { f.setAsString(text); })) showField();
}

void DBComboBox::showField() {
    const QSignalBlocker block(this);
    const ColumnInfo* info = m_link->columnInfo();
    const QString t = m_link->text();
    if (QLineEdit* line = lineEdit()) {
        line->setMaxLength(info && info->size > 0 ? info->size : 32767);
        line->setReadOnly(!m_link->canModify());
        if (line->text() != t) setEditText(t);
    } else {
        setCurrentIndex(findText(t));
    }
}
