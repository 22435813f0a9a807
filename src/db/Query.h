#pragma once

#include <QString>
#include <QVariantList>

class Connection;

// The statement component: holds a complete statement that returns no rows and
// executes it on its connection.
class Query {
public:
    explicit Query(Connection* connection) : m_connection(connection) {}

    void close() {}
    QString sql() const { return m_sql; }
    void setSql(const QString& sql) { m_sql = sql; }
    // Executes the statement; returns the number of rows it touched. Throws DbError.
    int execSql(const QVariantList& binds = {});

private:
    Connection* m_connection;
    QString m_sql;
};
