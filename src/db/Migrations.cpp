#include "Migrations.h"

#include "Connection.h"
#include "DbError.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

const QString kLockName = QStringLiteral("CONCAT('gfe_migrazioni/', DATABASE())");

// Releases the server lock whatever way the run ends.
class MigrationLock {
public:
    explicit MigrationLock(Connection& c) : m_c(c) {
        QSqlQuery q = m_c.exec(
            QStringLiteral("SELECT GET_LOCK(%1, %2)").arg(kLockName).arg(Migrations::LockSeconds));
        if (!q.next() || q.value(0).toInt() != 1)
            throw DbError(QStringLiteral("Aggiornamento del database %1: un altro programma lo "
                                         "sta aggiornando da più di %2 secondi")
                              .arg(m_c.database())
                              .arg(Migrations::LockSeconds));
    }
    ~MigrationLock() {
        try {
            m_c.exec(QStringLiteral("DO RELEASE_LOCK(%1)").arg(kLockName));
        } catch (...) {
            // A lost connection releases the lock with it.
        }
    }
    MigrationLock(const MigrationLock&) = delete;
    MigrationLock& operator=(const MigrationLock&) = delete;

private:
    Connection& m_c;
};

void createLog(Connection& c) {
    c.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS gfe_migrazioni ("
                          "nome VARCHAR(100) CHARACTER SET ascii NOT NULL PRIMARY KEY, "
                          "applicata DATETIME NOT NULL) ENGINE=InnoDB"));
}

} // namespace

QStringList Migrations::applied(Connection& connection) {
    QSqlQuery exists = connection.exec(
        QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES WHERE "
                       "TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'gfe_migrazioni'"));
    if (!exists.next() || exists.value(0).toInt() == 0) return {};
    QStringList out;
    QSqlQuery q = connection.exec(QStringLiteral("SELECT nome FROM gfe_migrazioni"));
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList Migrations::apply(Connection& connection, const QList<MigrationStep>& steps) {
    const QStringList before = applied(connection);
    bool missing = false;
    for (const MigrationStep& s : steps)
        missing = missing || !before.contains(s.name);
    if (!missing) return {};

    MigrationLock lock(connection);
    createLog(connection);
    // Read again under the lock: another program may have applied some meanwhile.
    const QStringList done = applied(connection);
    QStringList now;
    for (const MigrationStep& s : steps) {
        if (done.contains(s.name)) continue;
        for (const QString& sql : s.statements) {
            try {
                connection.exec(sql);
            } catch (const DbError& e) {
                throw DbError(QStringLiteral("Aggiornamento del database %1, passo %2: %3")
                                  .arg(connection.database(), s.name, e.messaggio()));
            }
        }
        connection.exec(QStringLiteral("INSERT IGNORE INTO gfe_migrazioni (nome, applicata) "
                                       "VALUES (?, NOW())"),
                        {s.name});
        now << s.name;
    }
    return now;
}
