#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class Connection;
class TDiz;

// How far a run has got: documents of the statement read so far out of all of
// them, invoices created and documents already present. While another import
// of the same invoice database runs, this one waits for it (inAttesa).
struct AvanzamentoImportazione {
    int letti = 0;
    int totale = 0;
    int importate = 0;
    int presenti = 0;
    bool inAttesa = false;
};

// What a run did, filled while it runs (so it holds the work done before an
// error as well).
struct EsitoImportazione {
    int importate = 0;        // documents that created an invoice
    int presenti = 0;         // documents whose invoice already existed
    QStringList rifiutati;    // documents refused by rule, each with the reason
    QStringList errori;       // documents that failed with an error, each with it
    QStringList problemiFile; // "FILE: problem" for every finding of the validator
    int ultima = -1;          // id_invio of the last invoice created or found

    // The one message after a run: the documents refused or failed and the
    // files with findings; empty when there is nothing to say.
    QString messaggio() const;
};

// Imports the year's sales documents of the accounting database (over
// `contabilita`) as invoices of the invoice database (over `fatture`: testata
// and dettaglio), each with its totals and its file: FPA12 when the recipient
// code has six characters (a public administration office), FPR12 otherwise.
// It opens tables of its own on both connections and touches no window's; the
// confirmation is the caller's: this asks nothing and shows nothing.
//
// - titolo: the invoice window's caption, appended to the numbers unless "A";
// - dataLimite: the date text of the window's field (day/month/two-digit
//   year); documents dated after it are left for a later run. An unreadable
//   date stops the run before anything is read or written;
// - avanzamento: called before every document, once at the end, and about
//   once a second while the run waits for another import.
//
// Runs of any number of programs on the same invoice database take turns on a
// lock of the server, so each document becomes one invoice whatever the
// interleaving. A document whose number and type are already in testata is
// skipped. Each invoice is written in one transaction with its lines, totals
// and file name, its file written before the commit.
//
// A document that cannot become an invoice is left out and the run goes on:
// refused by rule (no date, a number longer than num_doc, no lines, a
// deferred invoice without delivery notes) before anything is written, or,
// when creating it fails with an error, rolled back with nothing left of it
// (no rows, no file). Either way it is named with the reason in the result
// and tried again by the next run. Every file written goes through the
// validator; its findings are listed in the result.
//
// Throws Errore when the run cannot go on: an unreadable date, the other
// import holding the lock too long, the source that cannot be read, a
// connection that no longer answers. The invoices finished before stay.
void ImportaFatture(Connection& fatture, Connection& contabilita, const QString& titolo,
                    const QString& dataLimite,
                    const std::function<void(const AvanzamentoImportazione&)>& avanzamento,
                    EsitoImportazione& esito);

// "Importa Fatture" over the data module's connections: the import above, then
// Testata re-read once, standing on the last invoice that the run created or
// found (Detta on its lines), also when an error stopped the run.
void ImportaFatture(TDiz& diz, const QString& titolo, const QString& dataLimite,
                    const std::function<void(const AvanzamentoImportazione&)>& avanzamento,
                    EsitoImportazione& esito);
