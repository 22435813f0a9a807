#pragma once

#include "invoices/CampiRiga.h"

// Computes the line editor's discount amount and line total from its fields:
// q = quantita, p = prezzoUnit, d = scPerc (a text that is not a number counts
// as 0), k = scTipo.
// - k "SC" or "MG": scImporto = q × p × d / 100 with "#####0.00"; prezzoTot =
//   q × p − discount ("SC") or q × p + discount ("MG") with "#####0.000";
// - any other k: scPerc and scImporto become empty, prezzoTot = q × p.
// Values are 32-bit floats; each product is computed in long double and stored
// back as float before it is written. A value that does not fit a float throws
// ErroreRiga("Errore") and leaves scImporto and prezzoTot as they were.
void CalcolaRiga(CampiRiga& campi);
