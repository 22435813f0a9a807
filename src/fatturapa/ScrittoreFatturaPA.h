#pragma once

#include "fatturapa/CompositoreFatturaPA.h"

#include "db/TabelleFattura.h"

#include <QString>

// Writes the invoice tabelle.testata is positioned on (its lines tabelle.righe, the
// company tabelle.azienda) as a FatturaPA file into the company's output folder, under the
// name NomeFatturaPA builds, which it first stores in the invoice's nome_file.
// Any process can run it over its own connection and tables.
//
// Throws, with the message for the user:
// - ErroreFatturaInviata for a sent invoice: its file is never written again;
// - ErroreConversione for a company share capital, invoice date or total that
//   cannot be read, ErroreXml for a company VAT number or progressive that is
//   not letters and digits, a name longer than nome_file, too many
//   instalments: nothing changed;
// - ErroreXml when another invoice's nome_file holds the file name (the
//   progressives repeat above 9999): nothing changed;
// - ErroreConversione for an unreadable discount percentage of the invoice,
//   summary amount or line rate, price, quantity or total, and ErroreXml when
//   the file cannot be written: nome_file holds the new name, the earlier file
//   of that name is intact;
// - DbError from the database.
class ScrittoreFatturaPA {
public:
    // titoloFatture is the caption of the invoice window (line 3 of ip.ini),
    // which selects the series of the progressives.
    ScrittoreFatturaPA(FormatoFatturaPA formato, const QString& titoloFatture,
                       const TabelleFattura& tabelle);

    // Returns the full path of the file written.
    QString scrivi();

private:
    FormatoFatturaPA m_formato;
    QString m_titolo;
    TabelleFattura m_tabelle;
};
