#pragma once

#include <QString>

class Connection;
#include <QStringList>

// Per-test databases on the private test server. Each test executable works in
// databases of its own, so the suite can run in parallel against one server.
class TestDb {
public:
    static QString host();
    static int port();
    static QString user();
    static QString password();

    // Drops and recreates `name`, then loads the given files of sql/ into it. With
    // GFE_TEST_SCHEMA=esistente the database is latin1 and the two schemas are those of
    // an existing installation (tests/common/sql/*_esistente.sql) instead.
    static void ricrea(const QString& name, const QStringList& sqlFiles);
    static bool schemaEsistente();
    static QString percorsoSql(const QString& file);
    // Executes statements on `database` through a private connection; throws on error.
    static void esegui(const QString& database, const QStringList& statements);
    // One value of a single-value query (the first column of the first row).
    static QString valore(const QString& database, const QString& select);
    static QString sqlDir();
    // Points a connection of the program at `database` on the test server.
    static void punta(Connection& connection, const QString& database);
};
