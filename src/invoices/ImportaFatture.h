#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class TDiz;

// How far a run has got: documents of the statement read so far out of all of
// them, invoices created and documents already present.
struct AvanzamentoImportazione {
    int letti = 0;
    int totale = 0;
    int importate = 0;
    int presenti = 0;
};

// What a run did, filled while it runs (so it holds the work done before an
// error as well).
struct EsitoImportazione {
    int importate = 0;        // documents that created an invoice
    int presenti = 0;         // documents whose invoice already existed
    QStringList rifiutati;    // documents not imported, each with the reason
    QStringList problemiFile; // "FILE: problem" for every finding of the validator

    // The one message after a run: the documents refused and the files with
    // findings; empty when there is nothing to say.
    QString messaggio() const;
};

// Imports the year's sales documents of the accounting database (the tables
// Test_Fatt, Dett_Fatt and BolleT of `diz`) as invoices of the invoice
// database (Testata, Detta), each with its totals and its FPR12 file. The
// confirmation is the caller's: this asks nothing and shows nothing.
//
// - titolo: the invoice window's caption, appended to the numbers unless "A";
// - dataLimite: the date text of the window's field (day/month/two-digit
//   year); documents dated after it are left for a later run. It is read at
//   the first document: an unreadable date stops the run before any write;
// - avanzamento: called before every document and once at the end.
//
// A document whose number and type are already in testata is skipped. Each
// invoice is written in one transaction together with its totals and file
// name, and its file is written before the commit: an error leaves no part of
// the invoice being created, and the run stops there with that error (thrown
// as Errore), the invoices finished before staying. A number longer than
// testata's num_doc would be stored cut and never be found again: such a
// document is refused and named in the result. Every file written goes
// through the validator; its findings are listed in the result.
//
// The automatic refreshes of the invoice tables are held for the run, and the
// details of the headers other than the lines are read once at its end. At the
// end Testata is re-read once and stands on the last invoice that the run
// created or found, Detta on its lines.
void ImportaFatture(TDiz& diz, const QString& titolo, const QString& dataLimite,
                    const std::function<void(const AvanzamentoImportazione&)>& avanzamento,
                    EsitoImportazione& esito);
