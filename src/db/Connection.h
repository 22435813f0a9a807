#pragma once

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <memory>

class QSqlError;

// A prepared statement of a connection, with the result of its last execution. The
// handle shares the statement with the connection's cache: it stays valid when the
// cache drops the statement or the connection closes (it then reports the
// connection as closed). Running the same statement text again on the connection
// replaces the result the handle sees, so read a result before the next run.
class Statement {
public:
    explicit Statement(std::shared_ptr<QSqlQuery> query) : m_query(std::move(query)) {}
    QSqlQuery* operator->() const { return m_query.get(); }
    QSqlQuery& operator*() const { return *m_query; }

private:
    std::shared_ptr<QSqlQuery> m_query;
};

// One MySQL/MariaDB client connection. Settings can be changed before connecting;
// connecting again with unchanged settings keeps the open connection.
class Connection {
public:
    explicit Connection(const QString& name);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString name() const { return m_name; }
    QString host() const { return m_host; }
    void setHost(const QString& host);
    QString database() const { return m_database; }
    void setDatabase(const QString& database);
    QString user() const { return m_user; }
    void setUser(const QString& user);
    QString password() const { return m_password; }
    void setPassword(const QString& password);
    int port() const { return m_port; }
    void setPort(int port);
    // A setting found invalid (for example in the environment): connecting fails
    // with this message until it is cleared with an empty text.
    void setSettingError(const QString& message);
    QString settingError() const { return m_settingError; }

    // Seconds to wait for the server: to connect, and for each read and write. The
    // defaults are above the server's lock wait (50 s), so a statement waiting for
    // another program's lock still succeeds; GFE_DB_TIMEOUT (seconds) overrides
    // all three.
    static int connectTimeout();
    static int readWriteTimeout();

    void connect();
    void disconnect();
    bool isConnected() const;
    QSqlDatabase db() const;

    // Executes a statement as it is; throws DbError with the server's message.
    QSqlQuery exec(const QString& sql) const;
    // Executes a statement with positional bindings; throws DbError. It is prepared
    // once per connection and reused.
    Statement exec(const QString& sql, const QVariantList& binds) const;

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_transazioni > 0; }
    // How many transactions (or savepoints) were rolled back on this connection: rows a
    // table wrote in them are gone, and its next refresh reads everything again.
    int rollbacks() const { return m_rollbacks; }

    // The server's message; a lost or refused connection gives one Italian sentence.
    QString messageOf(const QSqlError& error) const;
    static QString serverMessage(const QSqlError& error);

private:
    void changed();
    std::shared_ptr<QSqlQuery> prepared(const QString& sql) const;
    [[noreturn]] void fail(const QSqlError& error) const;

    QString m_name;
    QString m_connName;
    QString m_host = QStringLiteral("localhost");
    QString m_database;
    QString m_user;
    QString m_password;
    QString m_settingError;
    int m_port = 3306;
    bool m_dirty = true;
    // Statements with bindings, prepared once per connection: every master move and
    // keyed write then costs one round trip to the server instead of two.
    mutable QHash<QString, std::shared_ptr<QSqlQuery>> m_prepared;
    // Open transactions: the outermost is the server's, inner ones are savepoints.
    int m_transazioni = 0;
    int m_rollbacks = 0;
};
