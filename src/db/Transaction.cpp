#include "Transaction.h"

#include "Connection.h"

Transaction::Transaction(Connection& connection) : m_connection(connection) {
    m_connection.begin();
}

Transaction::~Transaction() {
    if (m_open) m_connection.rollback();
}

void Transaction::commit() {
    m_connection.commit();
    m_open = false;
}
