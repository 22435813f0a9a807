#include "Connection.h"

#include "DbError.h"

#include <QSqlError>
#include <QUuid>

namespace {

constexpr int kMaxPrepared = 256;

int timeoutFromEnvironment(int fallback) {
    bool ok = false;
    const int seconds = qEnvironmentVariable("GFE_DB_TIMEOUT").toInt(&ok);
    return ok && seconds > 0 ? seconds : fallback;
}

// Client error codes of a connection that is gone or was never made.
bool isConnectionLost(const QSqlError& error) {
    static const QStringList codes = {QStringLiteral("2002"), QStringLiteral("2003"),
                                      QStringLiteral("2006"), QStringLiteral("2013"),
                                      QStringLiteral("2055")};
    return codes.contains(error.nativeErrorCode());
}

} // namespace

Connection::Connection(const QString& name)
    : m_name(name), m_connName(name + QLatin1Char('-') + QUuid::createUuid().toString()) {}

Connection::~Connection() {
    disconnect();
    QSqlDatabase::removeDatabase(m_connName);
}

void Connection::changed() {
    m_dirty = true;
}

void Connection::setHost(const QString& host) {
    if (host != m_host) {
        m_host = host;
        changed();
    }
}
void Connection::setDatabase(const QString& database) {
    if (database != m_database) {
        m_database = database;
        changed();
    }
}
void Connection::setUser(const QString& user) {
    if (user != m_user) {
        m_user = user;
        changed();
    }
}
void Connection::setPassword(const QString& password) {
    if (password != m_password) {
        m_password = password;
        changed();
    }
}
void Connection::setPort(int port) {
    if (port != m_port) {
        m_port = port;
        changed();
    }
}
void Connection::setSettingError(const QString& message) {
    m_settingError = message;
}

int Connection::connectTimeout() {
    return timeoutFromEnvironment(10);
}
int Connection::readWriteTimeout() {
    return timeoutFromEnvironment(120);
}

QString Connection::serverMessage(const QSqlError& error) {
    const QString server = error.databaseText().trimmed();
    const QString text = server.isEmpty() ? error.text().trimmed() : server;
    if (error.nativeErrorCode().isEmpty()) return text;
    return text + QStringLiteral(" (") + error.nativeErrorCode() + QLatin1Char(')');
}

QString Connection::messageOf(const QSqlError& error) const {
    if (!isConnectionLost(error)) return serverMessage(error);
    return QStringLiteral("Connessione al database '%1' sul server %2, porta %3, persa o non "
                          "riuscita: il server non risponde (%4)")
        .arg(m_database, m_host, QString::number(m_port), error.nativeErrorCode());
}

void Connection::fail(const QSqlError& error) const {
    if (isConnectionLost(error))
        const_cast<Connection*>(this)->m_dirty = true; // the next connect opens it again
    throw DbError(messageOf(error));
}

void Connection::connect() {
    if (!m_settingError.isEmpty()) throw DbError(m_settingError);
    if (isConnected() && !m_dirty) return;
    disconnect();
    QSqlDatabase db = QSqlDatabase::contains(m_connName)
                          ? QSqlDatabase::database(m_connName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), m_connName);
    if (!db.isValid()) throw DbError(QStringLiteral("Driver MySQL non disponibile"));
    // With the host "localhost" the client library ignores the port and takes the
    // system socket; on any other port the loopback address reaches the server.
    const bool viaSocket = m_host == QLatin1String("localhost") && m_port != 3306;
    db.setHostName(viaSocket ? QStringLiteral("127.0.0.1") : m_host);
    db.setPort(m_port);
    db.setUserName(m_user);
    db.setPassword(m_password);
    db.setDatabaseName(m_database);
    // Found rows (not changed rows) as affected rows: an update that writes equal
    // values still reports the row it touched.
    db.setConnectOptions(QStringLiteral("CLIENT_FOUND_ROWS=1;MYSQL_OPT_CONNECT_TIMEOUT=%1;"
                                        "MYSQL_OPT_READ_TIMEOUT=%2;MYSQL_OPT_WRITE_TIMEOUT=%2")
                             .arg(connectTimeout())
                             .arg(readWriteTimeout()));
    if (!db.open()) fail(db.lastError());
    m_dirty = false;
}

void Connection::disconnect() {
    m_prepared.clear();
    m_transazioni = 0;
    if (QSqlDatabase::contains(m_connName)) QSqlDatabase::database(m_connName, false).close();
}

bool Connection::isConnected() const {
    return QSqlDatabase::contains(m_connName) && QSqlDatabase::database(m_connName, false).isOpen();
}

QSqlDatabase Connection::db() const {
    return QSqlDatabase::database(m_connName, false);
}

QSqlQuery Connection::exec(const QString& sql) const {
    if (!isConnected()) throw DbError(QStringLiteral("Connessione al database non attiva"));
    QSqlQuery q(db());
    q.setForwardOnly(true);
    if (!q.exec(sql)) fail(q.lastError());
    return q;
}

Statement Connection::exec(const QString& sql, const QVariantList& binds) const {
    if (!isConnected()) throw DbError(QStringLiteral("Connessione al database non attiva"));
    std::shared_ptr<QSqlQuery> q = prepared(sql);
    for (int i = 0; i < binds.size(); ++i)
        q->bindValue(i, binds[i]);
    if (!q->exec()) fail(q->lastError());
    return Statement(std::move(q));
}

// The cache holds a bounded number of statements; a handle still held elsewhere keeps
// its statement alive after the cache let it go.
std::shared_ptr<QSqlQuery> Connection::prepared(const QString& sql) const {
    const auto it = m_prepared.constFind(sql);
    if (it != m_prepared.constEnd()) return it.value();
    if (m_prepared.size() >= kMaxPrepared) m_prepared.clear();
    auto q = std::make_shared<QSqlQuery>(db());
    q->setForwardOnly(true);
    if (!q->prepare(sql)) fail(q->lastError());
    m_prepared.insert(sql, q);
    return q;
}

// A transaction opened inside another (the totals inside an import) is a savepoint:
// a second START TRANSACTION would silently commit the outer one.
void Connection::begin() {
    if (m_transazioni > 0) {
        exec(QStringLiteral("SAVEPOINT gfe_%1").arg(m_transazioni));
    } else {
        QSqlDatabase d = db();
        if (!d.transaction()) fail(d.lastError());
    }
    ++m_transazioni;
}

void Connection::commit() {
    if (m_transazioni > 1) {
        exec(QStringLiteral("RELEASE SAVEPOINT gfe_%1").arg(m_transazioni - 1));
    } else {
        QSqlDatabase d = db();
        if (!d.commit()) fail(d.lastError());
    }
    --m_transazioni;
}

void Connection::rollback() {
    ++m_rollbacks;
    if (m_transazioni > 1) {
        try {
            exec(QStringLiteral("ROLLBACK TO SAVEPOINT gfe_%1").arg(m_transazioni - 1));
        } catch (const DbError&) {
            // The outer transaction is rolled back in its turn.
        }
    } else {
        db().rollback();
    }
    if (m_transazioni > 0) --m_transazioni;
}
