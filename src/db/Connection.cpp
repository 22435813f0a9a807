#include "Connection.h"

#include "DbError.h"

#include <QSqlError>
#include <QUuid>

Connection::Connection(const QString& name)
    : m_name(name), m_connName(name + QLatin1Char('-') + QUuid::createUuid().toString()) {}

Connection::~Connection() {
    disconnect();
    QSqlDatabase::removeDatabase(m_connName);
}

void Connection::changed() { m_dirty = true; }

void Connection::setHost(const QString& host) {
    if (host != m_host) { m_host = host; changed(); }
}
void Connection::setDatabase(const QString& database) {
    if (database != m_database) { m_database = database; changed(); }
}
void Connection::setUser(const QString& user) {
    if (user != m_user) { m_user = user; changed(); }
}
void Connection::setPassword(const QString& password) {
    if (password != m_password) { m_password = password; changed(); }
}
void Connection::setPort(int port) {
    if (port != m_port) { m_port = port; changed(); }
}

QString Connection::messageOf(const QSqlError& error) {
    const QString server = error.databaseText().trimmed();
    const QString text = server.isEmpty() ? error.text().trimmed() : server;
    if (error.nativeErrorCode().isEmpty())
        return text;
    return text + QStringLiteral(" (") + error.nativeErrorCode() + QLatin1Char(')');
}

void Connection::connect() {
    if (isConnected() && !m_dirty)
        return;
    disconnect();
    QSqlDatabase db = QSqlDatabase::contains(m_connName)
                          ? QSqlDatabase::database(m_connName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), m_connName);
    if (!db.isValid())
        throw DbError(QStringLiteral("Driver MySQL non disponibile"));
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
    db.setConnectOptions(QStringLiteral("CLIENT_FOUND_ROWS=1;MYSQL_OPT_CONNECT_TIMEOUT=5"));
    if (!db.open())
        throw DbError(messageOf(db.lastError()));
    m_dirty = false;
}

void Connection::disconnect() {
    m_preparate.clear();
    if (QSqlDatabase::contains(m_connName))
        QSqlDatabase::database(m_connName, false).close();
}

bool Connection::isConnected() const {
    return QSqlDatabase::contains(m_connName) && QSqlDatabase::database(m_connName, false).isOpen();
}

QSqlDatabase Connection::db() const { return QSqlDatabase::database(m_connName, false); }

QSqlQuery Connection::exec(const QString& sql) const {
    if (!isConnected())
        throw DbError(QStringLiteral("Connessione al database non attiva"));
    QSqlQuery q(db());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw DbError(messageOf(q.lastError()));
    return q;
}

QSqlQuery& Connection::exec(const QString& sql, const QVariantList& binds) const {
    if (!isConnected())
        throw DbError(QStringLiteral("Connessione al database non attiva"));
    QSqlQuery& q = preparata(sql);
    for (int i = 0; i < binds.size(); ++i)
        q.bindValue(i, binds[i]);
    if (!q.exec())
        throw DbError(messageOf(q.lastError()));
    return q;
}

QSqlQuery& Connection::preparata(const QString& sql) const {
    const auto it = m_preparate.constFind(sql);
    if (it != m_preparate.constEnd())
        return *it.value();
    if (m_preparate.size() >= 256)
        m_preparate.clear();
    auto q = std::make_shared<QSqlQuery>(db());
    q->setForwardOnly(true);
    if (!q->prepare(sql))
        throw DbError(messageOf(q->lastError()));
    m_preparate.insert(sql, q);
    return *q;
}

// A transaction opened inside another (the totals inside an import) is a savepoint:
// a second START TRANSACTION would silently commit the outer one.
void Connection::begin() {
    if (m_transazioni > 0) {
        exec(QStringLiteral("SAVEPOINT gfe_%1").arg(m_transazioni));
    } else {
        QSqlDatabase d = db();
        if (!d.transaction())
            throw DbError(messageOf(d.lastError()));
    }
    ++m_transazioni;
}

void Connection::commit() {
    if (m_transazioni > 1) {
        exec(QStringLiteral("RELEASE SAVEPOINT gfe_%1").arg(m_transazioni - 1));
    } else {
        QSqlDatabase d = db();
        if (!d.commit())
            throw DbError(messageOf(d.lastError()));
    }
    --m_transazioni;
}

void Connection::rollback() {
    if (m_transazioni > 1) {
        try {
            exec(QStringLiteral("ROLLBACK TO SAVEPOINT gfe_%1").arg(m_transazioni - 1));
        } catch (const DbError&) {
            // The outer transaction is rolled back in its turn.
        }
    } else {
        db().rollback();
    }
    if (m_transazioni > 0)
        --m_transazioni;
}
