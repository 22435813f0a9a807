#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What a page answers: the HTTP status a script relies on (200 done or shown, 400
// malformed request, 403 refused request, 404 unknown invoice or missing file, 409
// already done or in progress, 421 foreign host, 422 not a file the exchange system
// accepts, 502 the channel failed, 504 outcome uncertain), a title, one sentence of
// outcome and the details of what was done or why not.
struct Risposta {
    Risposta() = default;
    Risposta(int s, QString t, QString e, QStringList d = {})
        : stato(s), titolo(std::move(t)), esito(std::move(e)), dettagli(std::move(d)) {}

    int stato = 200;
    QString titolo;
    QString esito;
    QStringList dettagli;
    // Small print under the outcome (an invoice's internal key, for instance).
    QString nota;
    // An optional table after the details: its headings and rows.
    QStringList colonne;
    QList<QStringList> righe;
    // On the GET of a page that changes something: the text of the button that does it.
    QString pulsante;
};

// The page as plain Italian HTML, every text escaped. With a token, the page ends with
// the form that posts it to `azione` under the button of the answer.
QByteArray paginaHtml(const Risposta& risposta, const QString& azione = {},
                      const QString& gettone = {});
