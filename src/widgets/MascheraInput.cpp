#include "MascheraInput.h"

#include <QLineEdit>

namespace {

// Characters of the source notation and their meaning in the line edit's.
QChar translated(QChar c) {
    switch (c.unicode()) {
    case '0':
        return QLatin1Char('9'); // required digit
    case '9':
        return QLatin1Char('0'); // optional digit
    case 'L':
        return QLatin1Char('A'); // required letter
    case 'l':
        return QLatin1Char('a'); // optional letter
    case 'A':
        return QLatin1Char('N'); // required letter or digit
    case 'a':
        return QLatin1Char('n'); // optional letter or digit
    case 'C':
        return QLatin1Char('X'); // required character
    case 'c':
        return QLatin1Char('x'); // optional character
    case '#':
        return QLatin1Char('#'); // optional digit or sign
    default:
        return QChar();
    }
}

bool isMetaInLineEdit(QChar c) {
    static const QString meta = QStringLiteral("AaNnXx90Dd#HhBb><!\\[]{}");
    return meta.contains(c);
}

// Translates the mask part; the '!' of the source notation (where blanks of optional
// positions go) has no counterpart and is dropped.
QString translate(const QString& mask) {
    QString out;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (c == QLatin1Char('!')) continue;
        if (c == QLatin1Char('\\') && i + 1 < mask.size()) {
            out += QLatin1Char('\\');
            out += mask[++i];
        } else if (c == QLatin1Char('<') && i + 1 < mask.size() &&
                   mask[i + 1] == QLatin1Char('>')) {
            out += QLatin1Char('!');
            ++i;
        } else if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
            out += c;
        } else if (const QChar t = translated(c); !t.isNull()) {
            out += t;
        } else {
            if (isMetaInLineEdit(c)) out += QLatin1Char('\\');
            out += c;
        }
    }
    return out;
}

} // namespace

MascheraInput::MascheraInput(const QString& mask) : m_mask(mask) {
    const QStringList parts = mask.split(QLatin1Char(';'));
    if (parts.value(0).isEmpty()) return;
    if (parts.size() > 1) m_saveLiterals = parts[1].trimmed() != QLatin1String("0");
    if (parts.size() > 2 && !parts[2].isEmpty()) m_blank = parts[2][0];
    m_qt = translate(parts[0]) + QLatin1Char(';') + m_blank;
}

void MascheraInput::apply(QLineEdit* edit) const {
    edit->setInputMask(m_qt);
}

QString MascheraInput::value(const QLineEdit* edit) const {
    if (m_qt.isEmpty()) return edit->text();
    const QString shown = edit->displayText();
    QString out;
    bool entered = false;
    int pos = 0;
    const QString positions = m_qt.section(QLatin1Char(';'), 0, 0);
    for (int i = 0; i < positions.size() && pos < shown.size(); ++i) {
        const QChar c = positions[i];
        if (c == QLatin1Char('>') || c == QLatin1Char('<') || c == QLatin1Char('!')) continue;
        const bool literal = c == QLatin1Char('\\') || !isMetaInLineEdit(c);
        if (c == QLatin1Char('\\')) ++i;
        const QChar s = shown[pos++];
        if (literal) {
            if (m_saveLiterals) out += s;
        } else if (s != m_blank) {
            out += s;
            entered = true;
        }
    }
    return entered ? out : QString();
}
