#pragma once

#include <QStringList>

class Table;

// The article pick of the invoice window ("Articoli Magazzino", then a double click on
// an article), beside the totals since it recomputes a VAT summary of its own.
//
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
