#pragma once

#include "report/Impaginazione.h"

class QWidget;
class Table;

// The printed copies over the tables passed in (the windows pass the data module's):
// the company row, the current invoice and the table of its lines. Only the lines of
// the current invoice are printed, whatever else the lines table holds. The report
// form of the start-up is used when it exists.

// The sales invoice (QR1). Throws on any failure: no current invoice, a data_doc that
// is not a date, a missing column.
Impaginazione ImpaginaFattura(Table& azienda, Table& testata, Table& righe);
// The purchase invoice (QR2); throws ErroreStampa "Mancanza Dati" without a current
// purchase invoice.
Impaginazione ImpaginaFatturaAcquisto(Table& azienda, Table& testaCar, Table& dettaCar);

// "Stampa" of the invoice window: the sales invoice in the modal preview, from which
// the user prints; on any failure the message "Mancanza Dati" instead. True when the
// preview was shown.
bool AnteprimaFattura(Table& azienda, Table& testata, Table& righe, QWidget* genitore);
// "Stampa" of the purchase invoice list: the purchase invoice in the modal preview.
// Failures are thrown to the caller (Errore).
void AnteprimaFatturaAcquisto(Table& azienda, Table& testaCar, Table& dettaCar, QWidget* genitore);

// The copies as PDF files (gfe-batch). A layout failure of the sales invoice throws
// ErroreStampa "Mancanza Dati"; a file that cannot be written throws its own error.
void PdfFattura(Table& azienda, Table& testata, Table& righe, const QString& percorso);
void PdfFatturaAcquisto(Table& azienda, Table& testaCar, Table& dettaCar, const QString& percorso);
