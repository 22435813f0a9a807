#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

// A PDF read back with poppler's pdftotext -bbox: every word with its page and its box
// in millimetres from the top-left corner of the sheet.
struct Parola {
    int pagina = 0; // 1-based
    QString testo;
    QRectF area;
};

class LetturaPdf {
public:
    // Reads the file; on failure pagine() is 0 and errore() says why.
    explicit LetturaPdf(const QString& percorso);

    int pagine() const { return m_pagine; }
    QString errore() const { return m_errore; }
    const QList<Parola>& parole() const { return m_parole; }
    // The words of one page in reading order, joined by blanks.
    QString testo(int pagina) const;
    // The words with that text (on every page when pagina is 0).
    QList<Parola> trova(const QString& testo, int pagina = 0) const;
    // The fonts of the file ("name: embedded yes/no"), from pdffonts.
    QStringList caratteri() const;

private:
    QString m_percorso;
    QString m_errore;
    int m_pagine = 0;
    QList<Parola> m_parole;
};
