#pragma once

#include "IpIni.h"
#include "db/ConnectionSettings.h"

#include <QString>
#include <functional>

class TDiz;

// The log-in: reads ip.ini, points the invoice connection of the data module passed
// in at the server and database named there, connects and opens the invoice tables. It shows
// nothing: the caller shows the message of the result. It needs no window, so the
// headless command logs in the same way.
class Accesso {
public:
    // Receives line 3 of ip.ini, the invoice window's caption, at step 3 of the log-in.
    using Titolo = std::function<void(const QString&)>;

    enum class Stato { Collegato, SenzaIni, ErroreIni, ErroreConnessione, ErroreTabella };

    struct Esito {
        Stato stato = Stato::SenzaIni;
        QString messaggio; // empty when there is nothing to show
        bool collegato() const { return stato == Stato::Collegato; }
    };

    // The whole log-in with the ip.ini of `cartella`; without that file nothing changes.
    static Esito esegui(TDiz& diz, const QString& cartella, const Titolo& titolo);
    // The log-in from the caption on, with settings already read.
    static Esito collega(TDiz& diz, const IpIni& ini, const Titolo& titolo);
    // The invoice database's connection settings: the server and database of ip.ini
    // (cut to the lengths below) with the GFE_DB_* overrides. gfe-web connects with
    // them too.
    static ConnectionSettings impostazioni(const IpIni& ini);
    // Closes the invoice tables, details before their masters.
    static void chiudiTabelle(TDiz& diz);

    static constexpr int LunghezzaServer = 15;
    static constexpr int LunghezzaDatabase = 10;
};
