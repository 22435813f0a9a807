#pragma once

#include <QString>
#include <QVariantList>

class Table;

// What the user looks for in the invoice headers: a text that begins the invoice's
// number, the customer's name or the customer's VAT number, and a period of document
// dates (day/month/year texts; an empty or incomplete end leaves that side open).
struct CriteriFatture {
    QString testo;
    QString dal;
    QString al;

    // Nothing to look for: the whole list.
    bool vuoti() const;
};

// The statement that narrows the header list, with its parameters in `binds`. Every
// typed character is matched as itself (quotes, "%", "_" included) and none becomes
// part of the statement. Each condition has an index of its own: the text matches the
// beginning of each column, the period the sortable date `data_ordine`; where that
// column is missing (a database the program has not migrated) the date is computed
// from `data_doc` row by row instead.
QString statementoFatture(const CriteriFatture& criteri, bool conDataOrdine, QVariantList& binds);

// Shows in the header table only the invoices that answer the criteria, in the order of
// their keys; empty criteria bring back the whole table. The current invoice stays
// current when it is still listed. A statement the database refuses leaves the table
// closed and throws.
void cercaFatture(Table& testata, const CriteriFatture& criteri);
