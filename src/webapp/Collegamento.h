#pragma once

#include "db/ConnectionSettings.h"

#include <QString>
#include <memory>

class Connection;

// How gfe-web reaches the invoice database: the settings the desktop program's
// log-in arrives at (ip.ini of the working folder, GFE_DB_* overrides). Each
// request opens a connection of its own with them, since a database connection
// belongs to the thread that opened it; a page opens only the tables it reads.
struct Collegamento {
    ConnectionSettings impostazioni;

    // Reads ip.ini, connects once and brings the database up to date as "Accedi"
    // does, and keeps the settings. Throws Errore with the message of the failure.
    static Collegamento accedi(const QString& cartella);
    // A new connection, connected. Throws DbError.
    std::unique_ptr<Connection> apri() const;
};
