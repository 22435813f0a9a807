#include "Query.h"

#include "Connection.h"

#include <QSqlQuery>

int Query::execSql(const QVariantList& binds) {
    if (!m_connection->isConnected()) m_connection->connect();
    // Statements written out in full are not kept prepared: each is a one-off.
    return binds.isEmpty() ? m_connection->exec(m_sql).numRowsAffected()
                           : m_connection->exec(m_sql, binds)->numRowsAffected();
}
