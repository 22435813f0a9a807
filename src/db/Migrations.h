#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Connection;

// One versioned change of a database's structure: a name that never changes once it has
// been released, and the statements that make the change. Every statement is written so
// that running it again on a database that already has the change does nothing
// (CREATE TABLE IF NOT EXISTS, ADD COLUMN IF NOT EXISTS, CREATE INDEX IF NOT EXISTS, a
// MODIFY that only widens), and none of them touches the rows already there.
struct MigrationStep {
    QString name;
    QStringList statements;
};

// Brings a database up to a list of steps. The steps applied are recorded by name in the
// table `gfe_migrazioni`, which the first run creates. The whole run holds a server lock
// on the database, so two programs logging in at the same moment apply each step once;
// a step whose statements fail is not recorded, and the next log-in tries it again.
// Statements that change structure end any open transaction on the server: call it
// before any work of the connection, outside a transaction.
class Migrations {
public:
    // Applies, in order, the steps not yet recorded; returns the names applied now.
    // Throws DbError naming the step that failed.
    static QStringList apply(Connection& connection, const QList<MigrationStep>& steps);
    // The names of the steps recorded on the database (empty when it has none).
    static QStringList applied(Connection& connection);

    static constexpr int LockSeconds = 60;
};
