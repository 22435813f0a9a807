#include "DBEdit.h"

#include "FieldLink.h"
#include "db/ColumnInfo.h"
#include "db/Field.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent), m_link(new FieldLink(this)) {
    connect(m_link, &FieldLink::changed, this, &DBEdit::showField);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::onTextEdited);
    connect(this, &QLineEdit::returnPressed, this, &DBEdit::writePending);
    showField();
}

void DBEdit::setDataSource(DataSource* ds) {
    m_link->setDataSource(ds);
}
DataSource* DBEdit::dataSource() const {
    return m_link->dataSource();
}
void DBEdit::setField(const QString& name) {
    m_link->setField(name);
}
QString DBEdit::field() const {
    return m_link->fieldName();
}

void DBEdit::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    showField();
}

void DBEdit::setEditMask(const QString& mask) {
    m_mask = MascheraInput(mask);
    m_mask.apply(this);
    showField();
}

QString DBEdit::valueText() const {
    return m_mask.value(this);
}

void DBEdit::showField() {
    const ColumnInfo* info = m_link->columnInfo();
    QLineEdit::setReadOnly(m_readOnly || !m_link->canModify());
    if (m_mask.isEmpty()) setMaxLength(info && info->size > 0 ? info->size : 32767);
    m_pending = false;
    const QString t = m_link->text();
    if (valueText() != t) setText(t);
}

void DBEdit::onTextEdited(const QString&) {
    const ColumnInfo* info = m_link->columnInfo();
    const QString value = valueText();
    const bool text = !info || info->isText();
    // Numbers and dates are half typed for a while: their errors wait for leaving.
    const bool ok = m_link->write([&](Field& f) { f.setAsString(value); }, !text);
    m_pending = !ok && !text;
}

void DBEdit::writePending() {
    if (!m_pending) return;
    const QString value = valueText();
    if (m_link->write([&](Field& f) { f.setAsString(value); })) m_pending = false;
}

void DBEdit::focusOutEvent(QFocusEvent* e) {
    writePending();
    QLineEdit::focusOutEvent(e);
}

QString DBEdit::cased(const QString& s) const {
    switch (m_case) {
    case CharCase::Upper:
        return s.toUpper();
    case CharCase::Lower:
        return s.toLower();
    default:
        return s;
    }
}

void DBEdit::keyPressEvent(QKeyEvent* e) {
    if (m_case != CharCase::Normal && !isReadOnly()) {
        if (e->matches(QKeySequence::Paste)) {
            insert(cased(QApplication::clipboard()->text()));
            e->accept();
            return;
        }
        const QString t = cased(e->text());
        if (t != e->text()) {
            QKeyEvent typed(e->type(), e->key(), e->modifiers(), t, e->isAutoRepeat(),
                            quint16(e->count()));
            QLineEdit::keyPressEvent(&typed);
            e->setAccepted(typed.isAccepted());
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}
