#include "TestDb.h"

#include "db/Connection.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <stdexcept>

namespace {

QString env(const char* name, const QString& fallback) {
    const QString v = qEnvironmentVariable(name);
    return v.isEmpty() ? fallback : v;
}

// Runs `work` on a fresh connection that is removed afterwards.
template <typename F> void conConnessione(const QString& database, F work) {
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QMYSQL", name);
        db.setHostName(TestDb::host());
        db.setPort(TestDb::port());
        db.setUserName(TestDb::user());
        db.setPassword(TestDb::password());
        db.setDatabaseName(database);
        if (!db.open()) throw std::runtime_error(db.lastError().text().toStdString());
        work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void eseguiSu(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw std::runtime_error((q.lastError().text() + " in: " + sql.left(200)).toStdString());
}

// Splits a schema file into statements: a statement ends with ';' at the end of a line.
QStringList statementsOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(("cannot read " + path).toStdString());
    QStringList out;
    QString cur;
    for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
        const QString t = line.trimmed();
        if (t.startsWith("--") || (t.isEmpty() && cur.isEmpty())) continue;
        cur += line + '\n';
        if (t.endsWith(';')) {
            out << cur.trimmed().chopped(1);
            cur.clear();
        }
    }
    if (!cur.trimmed().isEmpty()) out << cur.trimmed();
    return out;
}

// The programs under test read the server's settings from the environment: without
// them they would look for a server on the standard port.
struct AmbienteTest {
    AmbienteTest() {
        if (!qEnvironmentVariableIsSet("GFE_DB_PORT")) qputenv("GFE_DB_PORT", "33306");
        if (!qEnvironmentVariableIsSet("GFE_DB_USER")) qputenv("GFE_DB_USER", "root");
        if (!qEnvironmentVariableIsSet("GFE_DB_PASSWORD"))
            qputenv("GFE_DB_PASSWORD", GFE_DB_PASSWORD_PREDEFINITA);
    }
} const g_ambiente;

} // namespace

QString TestDb::host() {
    return env("GFE_DB_HOST", "127.0.0.1");
}
int TestDb::port() {
    return env("GFE_DB_PORT", "33306").toInt();
}
QString TestDb::user() {
    return env("GFE_DB_USER", "root");
}
QString TestDb::password() {
    return env("GFE_DB_PASSWORD", GFE_DB_PASSWORD_PREDEFINITA);
}
QString TestDb::sqlDir() {
    return QStringLiteral(GFE_SOURCE_DIR "/sql");
}

bool TestDb::schemaEsistente() {
    return qEnvironmentVariable("GFE_TEST_SCHEMA") == QLatin1String("esistente");
}

QString TestDb::percorsoSql(const QString& file) {
    if (schemaEsistente() && (file == "xml_quirn.sql" || file == "quirn19.sql"))
        return QStringLiteral(GFE_SOURCE_DIR "/tests/common/sql/") + file.chopped(4) +
               "_esistente.sql";
    return sqlDir() + "/" + file;
}

void TestDb::ricrea(const QString& name, const QStringList& sqlFiles) {
    const QString charset = schemaEsistente() ? "latin1" : "utf8mb4";
    conConnessione(QString(), [&](QSqlDatabase& db) {
        eseguiSu(db, "DROP DATABASE IF EXISTS `" + name + "`");
        eseguiSu(db, "CREATE DATABASE `" + name + "` CHARACTER SET " + charset);
    });
    QStringList all;
    for (const QString& f : sqlFiles)
        all << statementsOf(percorsoSql(f));
    esegui(name, all);
}

void TestDb::esegui(const QString& database, const QStringList& statements) {
    conConnessione(database, [&](QSqlDatabase& db) {
        for (const QString& s : statements)
            eseguiSu(db, s);
    });
}

QString TestDb::valore(const QString& database, const QString& select) {
    QString out;
    conConnessione(database, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!q.exec(select)) throw std::runtime_error(q.lastError().text().toStdString());
        if (q.next()) out = q.value(0).isNull() ? QStringLiteral("<null>") : q.value(0).toString();
    });
    return out;
}

void TestDb::punta(Connection& connection, const QString& database) {
    connection.setHost(host());
    connection.setPort(port());
    connection.setUser(user());
    connection.setPassword(password());
    connection.setDatabase(database);
}
