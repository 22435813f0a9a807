#pragma once

#include "Pagina.h"

class Canale;
class Connection;
class Richiesta;

// The sending pages, "nome_file" and "n_invio" of the query: the GET shows what would
// be sent (anteprimaInvio), the POST sends it (inviaFattura).
Risposta paginaInvio(Richiesta& richiesta, bool pubblicaAmministrazione, bool esegui);

// What inviaFattura would do for the same arguments, changing nothing: the invoice's
// number, date, customer, total and file, the channel and the validator's findings,
// with status 200 and a button when it can be sent, otherwise the refusal it would get.
Risposta anteprimaInvio(Connection& connessione, const Canale& canale, const QString& nomeFile,
                        int idInvio, bool pubblicaAmministrazione);

// Sends the file of invoice idInvio once. The invoice must exist, not be sent yet
// and have nomeFile as its file, a plain regular file (never a link) in the company's
// folder that the validator finds nothing in; otherwise nothing changes (422 with the
// findings for a file the exchange system would reject). The file is read once, the
// hand-off recorded as in progress (gfe_consegne) under the row's lock, the file handed
// to the channel without any lock held, and only then is the invoice marked as sent.
// A concurrent request for the invoice gets 409 at once; a broken exchange that may
// have delivered the file gets 504, uncertain, naming what to check. Throws Errore of
// the database.
Risposta inviaFattura(Connection& connessione, const Canale& canale, const QString& nomeFile,
                      int idInvio, bool pubblicaAmministrazione);
