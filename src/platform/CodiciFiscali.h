#pragma once

#include <QString>

// Check digits of the Italian tax identifiers. A value that fails its check is
// rejected by the exchange system; these tell the user before a file is written.
namespace CodiciFiscali {

// Partita IVA: exactly 11 digits, the last the check digit of the first ten
// (odd places summed as they are, even places doubled with 9 taken off above 9).
bool partitaIvaValida(const QString& partitaIva);

// Codice fiscale: a personal code of 16 characters (letters and digits in their
// places, digits possibly replaced by letters, last the check letter; small
// letters count as capitals) or the 11-digit code of a company, checked as a
// Partita IVA.
bool codiceFiscaleValido(const QString& codiceFiscale);

// The text of a red warning beside a field, empty when the value is empty or
// passes its check.
QString avvisoPartitaIva(const QString& partitaIva);
QString avvisoCodiceFiscale(const QString& codiceFiscale);

} // namespace CodiciFiscali
