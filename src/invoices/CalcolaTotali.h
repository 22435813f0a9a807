#pragma once

#include "db/TabelleFattura.h"

class Table;

// Recomputes the totals and the VAT summary of the current invoice (the current
// row of `testata`) from its lines (every row of `righe`, in table order).
//
// The distinct line rates take the four rate slots of the header in line order
// (compared as text: "22" and "22,00" are two rates); per slot the taxable
// amount, the VAT and the total of the gift lines ("SC", "AB", "PR") are summed;
// the document discount ("SC" or "MG", both subtracted) and the expenses of
// slots 1 and 2, grossed up with their slot's VAT, enter only `tot_doc`.
// Working values are 32-bit floats; every product and sum is computed in long
// double and stored back as float, and every written amount is formatted with
// "######0.00" straight from the long double result of its expression.
//
// Lines whose rate is empty form a group of their own at VAT 0: they take no
// slot while the lines are read (so the rated lines get the same slots as
// without them) and then go, once, into the first slot that no rate took; when
// all four slots are taken they count nowhere, like the lines of a fifth rate.
//
// A pending edit of the header is posted first. The results are then written in
// one statement, so other readers see the old header or the new one, never a
// mix; a header row is appended when `testata` has none. Unreadable header
// values count as 0. On return `righe` stands on its last line.
//
// Errors leave the header as it was (stored and shown):
// - ErroreFatturaInviata for a sent invoice (see vietaSeInviata), before anything else;
// - ErroreConversione when a `quantita`, or the `prezzo_tot` or gift-line rate of
//   a line being accumulated, is not a number; the message names the line's
//   `prog` and the column ("Riga 2, quantita: 'abc' non è ...") and `righe`
//   stands on that line;
// - ErroreImporto when a computed amount does not fit its column (or overflows);
// - DbError of the data layer.
void CalcolaTotali(Table& testata, Table& righe);

// The same over the tables of an invoice computation (the company row is not read).
void CalcolaTotali(const TabelleFattura& tabelle);
