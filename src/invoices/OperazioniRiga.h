#pragma once

#include "invoices/CampiRiga.h"

#include <QString>

class Table;

// Mode of the line editor, kept as the panel's tag.
enum class ModoRiga { Nuova = 0, Corrente = 1 };

// The line editor's work over its field texts and the lines of the current
// invoice (`righe`, the detail of `testata`), without the window: the window
// binds its edit fields and combo boxes to a CampiRiga, calls these functions
// from its handlers with the data module's tables and shows/hides the panel.
//
// Errors: ErroreRiga (its messaggio() is the text to show), DbError of the
// data layer, ErroreConversione and ErroreImporto of CalcolaTotali; the window
// shows the message and keeps the editor open. Opening the editor, "Registra" and
// deleting a line of a sent invoice throw ErroreFatturaInviata (vietaSeInviata), having
// changed nothing.
class OperazioniRiga {
public:
    OperazioniRiga() = delete;

    // Leave handlers. Each rewrites its field with its mask (a text that is not
    // a strict number gets the fallback) and then runs CalcolaRiga, which may
    // throw ErroreRiga("Errore").
    static void esciQuantita(CampiRiga& campi);   // Edit2Exit: "#####0.00", else "0,00"
    static void esciPrezzoUnit(CampiRiga& campi); // Edit7Exit: "#####0.000", else "0,000"
    static void esciScPerc(CampiRiga& campi);     // Edit8Exit: "#####0.00", else empty
    static void esciScelta(CampiRiga& campi);     // cb1Exit, the four combo boxes: CalcolaRiga

    // "Ins. Riga" (BitBtn7Click): quantity and unit price "0,00", unit "PZ",
    // rate "22"; every other field keeps its content.
    static void insRiga(Table& testata, CampiRiga& campi);

    // "Mod. Riga" (BitBtn10Click): loads the current line of righe into the
    // fields; premium/rebate, withholding, nature and administrative reference
    // keep their content. An invoice without lines throws
    // ErroreRiga(nessunaRiga()): the window shows it and does not open the editor.
    static void modRiga(Table& testata, Table& righe, CampiRiga& campi);

    // The number a new line gets: the prog of the last row of righe (which
    // becomes current) + 1; 1 without rows or with an empty prog.
    static int nuovoProg(Table& righe);

    // "Registra" (BitBtn8Click): writes the fields into the current line
    // (Corrente) or into a new line numbered by nuovoProg() (Nuova), posts it and
    // runs CalcolaTotali. The window hides the editor only when this returns.
    // Corrente without lines throws ErroreRiga(nessunaRiga()) and writes nothing;
    // a computed amount (discount, line total) longer than its column throws
    // ErroreImporto and writes nothing.
    static void registra(Table& testata, Table& righe, ModoRiga modo, const CampiRiga& campi);

    // "Elimina Riga" (BitBtn12Click), after the window's confirmation
    // domandaElimina(): deletes the current line of righe; totals are not
    // recomputed. Without lines throws ErroreRiga("Nessuna riga da eliminare").
    static void eliminaRiga(Table& testata, Table& righe);

    static QString nessunaRiga();    // "Nessuna riga da modificare"
    static QString domandaElimina(); // "Confermi Eliminazione Riga: ?"
};
