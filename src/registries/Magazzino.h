#pragma once

#include <QString>
#include <QStringList>

class Table;

// Computations of the articles window over the current row of `articoli` (table
// magazzino), which must be in editing. Amounts are read with optional "."
// grouping points and written with the window's grouping masks.

// sc_importo and prezzo_tot from prezzo_unit, sc_perc and sc_tipo: discount
// p * s / 100 ("##,###0.00"); net price p - d for "SC", p + d for "MG", else p with
// sc_importo and sc_perc emptied ("##,###0.000"). When p or s cannot be read,
// prezzo_tot takes the text of prezzo_unit and nothing else is written.
void CalcolaPrezzoVendita(Table& articoli);
// The same over costo_unit, sc_costo_perc, sc_costo_tipo, sc_costo_importo, costo_tot.
void CalcolaPrezzoAcquisto(Table& articoli);

// Rewrites a column with the mask, or writes the fallback when its text is no amount.
void riformattaImporto(Table& articoli, const QString& colonna, const QString& maschera,
                       const QString& ripiego);

// Appends an article with stock 0, unit PZ, VAT 22 and zero prices.
void nuovoArticolo(Table& articoli);

// Adds the current article as a new line of the current invoice and recomputes the
// header's two-rate summary (imponibile, imposta, aliquota and the same with 2) from
// all the lines; the third and fourth rates and tot_doc are not touched.
//
// The line is numbered after the last one (1 in an invoice without lines or whose
// last line has no number) and gets quantity 1 and the article's texts, its amounts
// rewritten without grouping points ("#####0.000" for prices, "#####0.00" for the
// discount amount) so that the totals and the writers read them; the discount
// percentage keeps the article's own text, only without grouping points. With no current invoice a
// new one is started, as "Nuova" does. A line amount that cannot be read counts as
// zero; a header rate that cannot be read leaves that rate's imposta empty; each
// case adds an Italian warning to the list returned. The writes go together: a
// database error rolls them all back, re-reads both tables and is thrown.
// Does nothing (returns no warning) when `articoli` has no current row. A sent invoice
// throws ErroreFatturaInviata and gets nothing.
QStringList scegliArticolo(Table& articoli, Table& testata, Table& detta);
