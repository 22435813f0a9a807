#include "fatturapa/CodificaXml.h"

namespace {

// The reference CodificaXml writes for c, or nullptr when c passes unchanged.
// One pass over the text gives what the eight replacements in their order give:
// no reference holds a character that a later replacement would touch.
const char16_t* riferimentoCodifica(char16_t c) {
    switch (c) {
    case u'&':
        return u"&#38;";
    case u'!':
        return u"&#33;";
    case u'"':
        return u"&#34;";
    case u'/':
        return u"&#47;";
    case u'-':
        return u"&#45;";
    case u'\u00B0':
        return u"&#176;";
    case u'@':
        return u"&#64;";
    case u'+':
        return u"&#43;";
    default:
        return nullptr;
    }
}

const char16_t* riferimentoMarcatura(char16_t c, bool ancheEcommerciale) {
    switch (c) {
    case u'&':
        return ancheEcommerciale ? u"&#38;" : nullptr;
    case u'<':
        return u"&#60;";
    case u'>':
        return u"&#62;";
    default:
        return nullptr;
    }
}

bool ammessoDaXml(char16_t c) {
    return c >= 0x20 ? (c != 0xFFFE && c != 0xFFFF) : (c == 0x09 || c == 0x0A || c == 0x0D);
}

// Copies s with markup characters as references and characters XML does not
// allow left out; surrogates pass only as pairs.
QString senzaMarcatura(const QString& s, bool ancheEcommerciale) {
    QString r;
    r.reserve(s.size() + 16);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < s.size() &&
            QChar::isLowSurrogate(s[i + 1].unicode())) {
            r += s[i];
            r += s[++i];
        } else if (const char16_t* rif = riferimentoMarcatura(c, ancheEcommerciale)) {
            r += QStringView(rif);
        } else if (ammessoDaXml(c) && !QChar::isSurrogate(c)) {
            r += s[i];
        }
    }
    return r;
}

bool daToccare(const QString& s, bool codifica) {
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u >= 0xD800 || u == u'&' || u == u'<' || u == u'>' ||
            (codifica && riferimentoCodifica(u)))
            return true;
    }
    return false;
}

} // namespace

QString CodificaXml(const QString& testo) {
    QString r;
    r.reserve(testo.size() + 16);
    for (QChar c : testo) {
        if (const char16_t* rif = riferimentoCodifica(c.unicode()))
            r += QStringView(rif);
        else
            r += c;
    }
    return r;
}

QString ValoreXml::comeMemorizzato(const QString& valore) {
    return daToccare(valore, false) ? senzaMarcatura(valore, true) : valore;
}

QString ValoreXml::codificato(const QString& valore) {
    if (!daToccare(valore, true)) return valore;
    return senzaMarcatura(CodificaXml(valore), false);
}
