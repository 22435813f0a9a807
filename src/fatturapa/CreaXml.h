#pragma once

#include <QString>

// The FatturaPA writers of the current invoice of the data module
// (Diz->Testata with its lines Diz->Detta, company Diz->AziendaT), thin
// wrappers of ScrittoreFatturaPA: see there for what they require and throw. titoloFatture is the
// caption of the invoice window, line 3 of ip.ini: exactly "A" selects the progressives beginning
// with "0". Each returns the full path of the file written.

// Transmission format FPR12, for private recipients.
QString CreaXmlFPR12(const QString& titoloFatture);
// Transmission format FPA12, for a public administration (split payment).
QString CreaXmlFPA12(const QString& titoloFatture);
