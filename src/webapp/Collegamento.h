#pragma once

#include <QString>
#include <memory>

class Connection;

// How gfe-web reaches the invoice database: the settings the desktop program's
// log-in arrives at (ip.ini of the working folder, GFE_DB_* overrides). Each
// request opens a connection of its own with them, since a database connection
// belongs to the thread that opened it.
struct Collegamento {
    QString host;
    QString database;
    QString utente;
    QString password;
    int porta = 3306;

    // Logs in once, as "Accedi" does, and keeps the settings. Throws Errore with the
    // log-in's message.
    static Collegamento accedi(const QString& cartella);
    // A new connection, connected. Throws DbError.
    std::unique_ptr<Connection> apri() const;
};
