#pragma once

#include "Pagina.h"

class Canale;
class Connection;
class Richiesta;

// The sending pages: "nome_file" and "n_invio" of the query, then inviaFattura.
Risposta paginaInvio(Richiesta& richiesta, bool pubblicaAmministrazione);

// Sends the file of invoice idInvio once. The invoice must exist, not be sent yet
// and have nomeFile as its file, a plain name present in the company's folder;
// otherwise nothing changes. The file is checked (the findings go into the page,
// the file is sent all the same), handed to the channel, and only then is the
// invoice marked as sent. Its row stays locked from the checks to the mark, so
// concurrent requests for one invoice send it once. Throws Errore of the database.
Risposta inviaFattura(Connection& connessione, const Canale& canale, const QString& nomeFile,
                      int idInvio, bool pubblicaAmministrazione);
