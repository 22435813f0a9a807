#pragma once

#include <QString>

// Free text for a FatturaPA document: & ! " / - ° @ + become the numeric
// character references &#38; &#33; &#34; &#47; &#45; &#176; &#64; &#43;; every
// other character passes unchanged ("<", ">" and the apostrophe among them).
QString CodificaXml(const QString& testo);

// The text of a value as it goes between its two tags. Whatever a value holds,
// the document stays well formed: "&", "<" and ">" are written as character
// references and the characters XML 1.0 does not allow (control characters
// other than tab, line feed and carriage return, U+FFFE, U+FFFF, unpaired
// surrogates) are left out.
class ValoreXml {
public:
    ValoreXml() = delete;

    // A value written as stored.
    static QString comeMemorizzato(const QString& valore);
    // A value written coded: CodificaXml, then "<" and ">" as references.
    static QString codificato(const QString& valore);
};
