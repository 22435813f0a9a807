#pragma once

#include "Pagina.h"

class Richiesta;

// /Fatt_Ven/invio_lotto.php, "Invio Fatture al SDI": the GET lists every unsent
// invoice with what its send would do; the POST sends each one that has a file, once
// and in its own transaction, as the single sending page does, and answers with a
// table of what was sent and what was refused and why.
Risposta paginaLotto(Richiesta& richiesta, bool esegui);
