#pragma once

#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Table.h"

#include <QString>
#include <QStringList>
#include <memory>

// A fresh copy of the invoice database with one table component over one of its tables
// and a data source for the controls under test.
class BancoProva {
public:
    BancoProva(const QString& database, const QString& tableName, const QStringList& rows = {});

    QString valore(const QString& select) const;

    const QString db;
    Connection conn;
    std::unique_ptr<Table> table;
    std::unique_ptr<DataSource> ds;
};
