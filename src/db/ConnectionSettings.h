#pragma once

#include <QString>

class Connection;

// Where and as whom a connection logs in, as one value. The server and database come
// from the caller (ip.ini for the invoice database); user, password and port are the
// built-in defaults (root, the project's password, 3306) unless GFE_DB_USER,
// GFE_DB_PASSWORD or GFE_DB_PORT say otherwise. The environment is read and checked
// once, when the value is made: a GFE_DB_PORT that is not a port is kept in `error`,
// and a connection given these settings refuses to connect with that message rather
// than reach another server without saying so.
struct ConnectionSettings {
    QString host;
    QString database;
    QString user;
    QString password;
    int port = 3306;
    QString error; // empty when every setting is valid

    static ConnectionSettings fromEnvironment(const QString& host, const QString& database);

    // The settings a connection holds now.
    static ConnectionSettings of(const Connection& connection);
    // Points the connection at these settings (it connects when told to).
    void applyTo(Connection& connection) const;
};
