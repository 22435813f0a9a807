#include "Accesso.h"

#include "ErroreFile.h"
#include "data/TDiz.h"
#include "db/DbError.h"
#include "platform/ErroreConversione.h"

Accesso::Esito Accesso::esegui(const QString& cartella, const Titolo& titolo) {
    if (!IpIni::esiste(cartella)) return {Stato::SenzaIni, QString()};
    IpIni ini;
    try {
        ini = IpIni::leggi(cartella);
    } catch (const ErroreFile& e) {
        return {Stato::ErroreIni, e.messaggio()};
    }
    return collega(ini, titolo);
}

Accesso::Esito Accesso::collega(const IpIni& ini, const Titolo& titolo) {
    if (titolo)
        titolo(ini.titolo);
    Diz->xml_conn->setHost(ini.server.left(LunghezzaServer));
    Diz->xml_conn->setDatabase(ini.database.left(LunghezzaDatabase));
    try {
        Diz->xml_conn->connect();
    } catch (const Errore& e) {
        return {Stato::ErroreConnessione, e.messaggio()};
    }
    // Masters come before their details; the tables opened before a failure stay open.
    for (Table* t : Diz->tabelleFatture()) {
        try {
            t->open();
        } catch (const Errore& e) {
            return {Stato::ErroreTabella, e.messaggio()};
        }
    }
    return {Stato::Collegato, QString()};
}

void Accesso::chiudiTabelle() {
    for (Table* t :
         {Diz->AziendaT, Diz->Detta, Diz->Testata, Diz->Clienti, Diz->Fornitori, Diz->Testa_Car,
          Diz->Detta_Car, Diz->Articoli, Diz->ContrattoD, Diz->ContrattoT})
        t->close();
}
