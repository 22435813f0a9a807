#pragma once

// Recomputes the totals and the VAT summary of the current invoice (the current
// row of Diz->Testata) from its lines (every row of Diz->Detta, in table order).
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
// The header is posted after the slots are cleared, at every newly assigned
// rate and at the end. A `quantita`, or the `prezzo_tot` or gift-line rate of a
// line being accumulated, that is not a number throws ErroreConversione at that
// line: the header then holds the cleared slots and the rates assigned so far
// (that line's included). Unreadable header values count as 0. On return Detta
// stands on its last line. Database errors propagate as DbError.
void CalcolaTotali();
