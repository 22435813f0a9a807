#pragma once

#include "Pagina.h"

class Richiesta;

// /Fatt_Ven/stato.php?n_invio=N: the state of invoice N and its history, the exchange
// system's answers with their errors and the provider's receipts.
Risposta paginaStato(Richiesta& richiesta);

// /Posta/leggi.php, what it shows: the answers matching no invoice, kept.
Risposta paginaPosta(Richiesta& richiesta);
// /Posta/leggi.php, what it does: reads the certified mailbox once.
Risposta leggiPosta(Richiesta& richiesta);
