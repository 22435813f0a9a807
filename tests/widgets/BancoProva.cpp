#include "BancoProva.h"

#include "TestDb.h"

BancoProva::BancoProva(const QString& database, const QString& tableName, const QStringList& rows)
    : db(database), conn(database) {
    TestDb::ricrea(db, {"xml_quirn.sql"});
    if (!rows.isEmpty()) TestDb::esegui(db, rows);
    TestDb::punta(conn, db);
    table = std::make_unique<Table>(&conn, tableName);
    ds = std::make_unique<DataSource>(table.get());
    table->open();
}

QString BancoProva::valore(const QString& select) const {
    return TestDb::valore(db, select);
}
