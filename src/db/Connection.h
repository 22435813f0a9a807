#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

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

    // Prepares and executes a statement with positional bindings; throws DbError.
    QSqlQuery exec(const QString& sql, const QVariantList& binds = {}) const;

    void begin();
    void commit();
    void rollback();

    static QString messageOf(const QSqlError& error);

private:
    void changed();

    QString m_name;
    QString m_connName;
    QString m_host = QStringLiteral("localhost");
    QString m_database;
    QString m_user;
    QString m_password;
    int m_port = 3306;
    bool m_dirty = true;
};
