#pragma once

#include "db/TabelleFattura.h"
#include "report/Impaginazione.h"

class QWidget;

// The printed copies over the tables passed in (the windows pass the data module's):
// the company row, the current invoice and the table of its lines. Only the lines of
// the current invoice are printed, whatever else the lines table holds. For a purchase
// invoice the headers are test_car and the lines dett_car.

// The sales invoice (QR1). Throws on any failure: no current invoice, a data_doc that
// is not a date, a missing column.
Impaginazione ImpaginaFattura(const TabelleFattura& fattura);
// The purchase invoice (QR2); throws ErroreStampa "Mancanza Dati" without a current
// purchase invoice.
Impaginazione ImpaginaFatturaAcquisto(const TabelleFattura& acquisto);

// "Stampa" of the invoice window: the sales invoice in the modal preview, from which
// the user prints; on any failure the message "Mancanza Dati" instead. True when the
// preview was shown.
bool AnteprimaFattura(const TabelleFattura& fattura, QWidget* genitore);
// "Stampa" of the purchase invoice list: the purchase invoice in the modal preview.
// Failures are thrown to the caller (Errore).
void AnteprimaFatturaAcquisto(const TabelleFattura& acquisto, QWidget* genitore);

// The copies as PDF files (gfe-batch). A layout failure of the sales invoice throws
// ErroreStampa "Mancanza Dati"; a file that cannot be written throws its own error.
void PdfFattura(const TabelleFattura& fattura, const QString& percorso);
void PdfFatturaAcquisto(const TabelleFattura& acquisto, const QString& percorso);
