#pragma once

#include <QChar>
#include <QString>

class QLineEdit;

// An edit mask written as "mask;save literals;blank character" (e.g. "!99/99/00;1;_":
// '0' a required digit, '9' an optional one, other characters literals), turned into
// the input mask of a line edit.
class MascheraInput {
public:
    MascheraInput() = default;
    explicit MascheraInput(const QString& mask);

    bool isEmpty() const { return m_qt.isEmpty(); }
    QString mask() const { return m_mask; }
    QString inputMask() const { return m_qt; } // in the line edit's notation
    QChar blank() const { return m_blank; }
    bool saveLiterals() const { return m_saveLiterals; }

    void apply(QLineEdit* edit) const;
    // The value the field gets from the edit's text: empty when no position is filled,
    // else the entered characters, with the literals when the mask saves them.
    QString value(const QLineEdit* edit) const;

private:
    QString m_mask;
    QString m_qt;
    QChar m_blank = QLatin1Char('_');
    bool m_saveLiterals = true;
};
