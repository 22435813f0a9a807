#pragma once

#include "db/TabelleFattura.h"

#include <QString>

// The FatturaPA writers of the invoice tabelle.testata stands on (its lines
// tabelle.righe, the company tabelle.azienda), thin wrappers of ScrittoreFatturaPA: see
// there for what they require and throw. titoloFatture is the caption of the invoice
// window, line 3 of ip.ini: exactly "A" selects the progressives beginning with "0".
// Each returns the full path of the file written.

// Transmission format FPR12, for private recipients.
QString CreaXmlFPR12(const TabelleFattura& tabelle, const QString& titoloFatture);
// Transmission format FPA12, for a public administration (split payment).
QString CreaXmlFPA12(const TabelleFattura& tabelle, const QString& titoloFatture);
