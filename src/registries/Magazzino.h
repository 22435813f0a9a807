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
