#include "Query.h"

#include "Connection.h"

#include <QSqlQuery>

int Query::execSql(const QVariantList& binds) {
    if (!m_connection->isConnected())
        m_connection->connect();
    return m_connection->exec(m_sql, binds).numRowsAffected();
}
