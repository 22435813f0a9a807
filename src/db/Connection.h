#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QHash>
#include <QString>
#include <QVariantList>
#include <memory>

class QSqlError;

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

    void connect();
    void disconnect();
    bool isConnected() const;
    QSqlDatabase db() const;

    // Executes a statement as it is; throws DbError with the server's message.
    QSqlQuery exec(const QString& sql) const;
    // Executes a statement with positional bindings; throws DbError. It is prepared
    // once per connection and reused: the result is the connection's, valid until
    // the same statement runs again.
    QSqlQuery& exec(const QString& sql, const QVariantList& binds) const;

    void begin();
    void commit();
    void rollback();

    static QString messageOf(const QSqlError& error);

private:
    void changed();
    QSqlQuery& preparata(const QString& sql) const;

    QString m_name;
    QString m_connName;
    QString m_host = QStringLiteral("localhost");
    QString m_database;
    QString m_user;
    QString m_password;
    int m_port = 3306;
    bool m_dirty = true;
    // Statements with bindings, prepared once per connection: every master move and
    // keyed write then costs one round trip to the server instead of two.
    mutable QHash<QString, std::shared_ptr<QSqlQuery>> m_preparate;
    // Open transactions: the outermost is the server's, inner ones are savepoints.
    int m_transazioni = 0;
};
