#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Connection;

// Outcome of loading a received file, in the terms of a web page: an HTTP status,
// one Italian sentence and the detail lines (what was stored, what was left out, the
// signature's validity).
struct EsitoCarico {
    int stato = 200; // 200 stored, 400 bad name, 404 no file, 409 already loaded,
                     // 422 unreadable or no invoice, 500 database failure
    QString messaggio;
    QStringList dettagli;
    QList<int> protocolli; // prot of the test_car rows written

    bool riuscito() const { return stato == 200; }
};

// Loads the received FatturaPA file `nomeFile` (a plain name, used exactly as given)
// from the folder `cartella` into test_car and dett_car of `connessione`: one
// test_car row per FatturaElettronicaBody with nome_file = nomeFile, its lines in
// dett_car with prot_car = the new prot. A signed file (".p7m", DER or base64) is
// opened first. The document is read without network and without DTD or entities.
// Everything is written in one transaction, under a server lock on the name, so two
// loads of the same name at once store it once. Nothing is stored unless the status
// is 200. A value longer than its column, or a signed file whose signature does not match
// its content, is refused with 422: nothing is ever stored cut or altered.
EsitoCarico CaricaAcquisto(Connection& connessione, const QString& cartella,
                           const QString& nomeFile);
