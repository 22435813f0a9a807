#pragma once

#include "platform/Errore.h"

class Table;

// A sent invoice is final: its file was handed to the exchange system and is a legal
// document. Refused with "Operazione non possibile... Fattura Inviata".
GFE_ERRORE(ErroreFatturaInviata);

// The guard of every change to an invoice and of its writers: throws
// ErroreFatturaInviata when the invoice `testata` stands on is sent. The stored row
// decides (the web application marks an invoice sent while the window shows it), unless
// a pending edit clears the user's own check box "Inviata": clearing it is the user's
// decision. A pending edit of a sent invoice is cancelled, so that no later post stores
// it. A table without a current row, or on a row not stored yet, passes.
void vietaSeInviata(Table& testata);

// The refusal's text.
QString messaggioFatturaInviata();
