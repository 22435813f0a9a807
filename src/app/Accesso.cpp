#include "Accesso.h"

#include "ErroreFile.h"
#include "data/Migrazioni.h"
#include "data/TDiz.h"
#include "db/DbError.h"

Accesso::Esito Accesso::esegui(TDiz& diz, const QString& cartella, const Titolo& titolo) {
    if (!IpIni::esiste(cartella)) return {Stato::SenzaIni, QString()};
    IpIni ini;
    try {
        ini = IpIni::leggi(cartella);
    } catch (const ErroreFile& e) {
        return {Stato::ErroreIni, e.messaggio()};
    }
    return collega(diz, ini, titolo);
}

Accesso::Esito Accesso::collega(TDiz& diz, const IpIni& ini, const Titolo& titolo) {
    if (titolo) titolo(ini.titolo);
    // User, password and port stay as the data module read them when it was made.
    ConnectionSettings impostate = ConnectionSettings::of(*diz.xml_conn);
    impostate.host = ini.server.left(LunghezzaServer);
    impostate.database = ini.database.left(LunghezzaDatabase);
    // Another server or database: the tables are closed first, so that none keeps the
    // rows of the old one while its writes by key would go to the new one.
    if (!diz.xml_conn->isConnected() || diz.xml_conn->host() != impostate.host ||
        diz.xml_conn->database() != impostate.database)
        chiudiTabelle(diz);
    impostate.applyTo(*diz.xml_conn);
    try {
        diz.xml_conn->connect();
    } catch (const Errore& e) {
        return {Stato::ErroreConnessione, e.messaggio()};
    }
    // The program's own tables and columns, before any table reads them.
    try {
        applicaMigrazioni(*diz.xml_conn);
    } catch (const Errore& e) {
        return {Stato::ErroreTabella, e.messaggio()};
    }
    // Masters come before their details; the tables opened before a failure stay open.
    for (Table* t : diz.tabelleFatture()) {
        try {
            t->open();
        } catch (const Errore& e) {
            return {Stato::ErroreTabella, e.messaggio()};
        }
    }
    return {Stato::Collegato, QString()};
}

ConnectionSettings Accesso::impostazioni(const IpIni& ini) {
    return ConnectionSettings::fromEnvironment(ini.server.left(LunghezzaServer),
                                               ini.database.left(LunghezzaDatabase));
}

void Accesso::chiudiTabelle(TDiz& diz) {
    for (Table* t : {diz.AziendaT, diz.Detta, diz.Testata, diz.Clienti, diz.Fornitori,
                     diz.Testa_Car, diz.Detta_Car, diz.Articoli, diz.ContrattoD, diz.ContrattoT})
        t->close();
}
