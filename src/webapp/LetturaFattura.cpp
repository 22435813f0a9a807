#include "LetturaFattura.h"

#include "Impostazioni.h"
#include "Rotte.h"
#include "platform/Errore.h"
#include "purchases/CaricaAcquisto.h"

Risposta paginaLettura(Richiesta& richiesta) {
    Risposta r;
    r.titolo = QStringLiteral("Caricamento fattura di acquisto");
    const QString nome = QStringLiteral("nome_file");
    if (!richiesta.ha(nome) || richiesta.parametro(nome).isEmpty()) {
        r.stato = 400;
        r.esito = QStringLiteral("Richiesta non valida: manca il nome del file (nome_file).");
        return r;
    }
    try {
        const EsitoCarico esito = CaricaAcquisto(
            richiesta.connessione(), richiesta.impostazioni().ricevute, richiesta.parametro(nome));
        r.stato = esito.stato;
        r.esito = esito.messaggio;
        r.dettagli = esito.dettagli;
    } catch (const Errore& e) {
        r.stato = 500;
        r.esito = QStringLiteral("Errore del database: nulla è stato caricato.");
        r.dettagli << e.messaggio();
    }
    return r;
}
