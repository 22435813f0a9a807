#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a page answers: the HTTP status a script relies on (200 done, 400 malformed
// request, 404 unknown invoice or missing file, 409 already done, 422 not a
// FatturaPA document, 502 the channel failed), a title, one sentence of outcome
// and the details of what was done or why not.
struct Risposta {
    int stato = 200;
    QString titolo;
    QString esito;
    QStringList dettagli;
};

// The page as plain Italian HTML, every text escaped.
QByteArray paginaHtml(const Risposta& risposta);
