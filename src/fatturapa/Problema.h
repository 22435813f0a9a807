#pragma once

#include <QString>

// One finding of the validator. codice is the code the exchange system uses for
// the same rejection ("00423"); it is empty for a problem of the application
// rather than of the document (schema not found, file not readable).
struct Problema {
    QString codice;
    QString testo;

    // "00423: riga 2, ..." or just the text when there is no code.
    QString descrizione() const;

    bool operator==(const Problema&) const = default;
};
