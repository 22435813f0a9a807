#pragma once

#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Query.h"
#include "db/TabelleFattura.h"
#include "db/Table.h"

#include <QObject>
#include <memory>

// The data module: the one owner of both database connections, of every table
// component and of the data sources the windows' controls are bound to.
class TDiz : public QObject {
    Q_OBJECT
public:
    explicit TDiz(QObject* parent = nullptr);
    ~TDiz() override;

    // Invoice database
    Connection* xml_conn;
    Table* AziendaT;
    Table* Testata;
    Table* Detta;
    Table* ContrattoT;
    Table* ContrattoD;
    Table* Clienti;
    Table* Fornitori;
    Table* Testa_Car;
    Table* Detta_Car;
    Table* Articoli;
    ::Query* Query; // the statement component
    DataSource* AziendaS;
    DataSource* TestataS;
    DataSource* DettaS;
    DataSource* ContrattoS;
    DataSource* ContrattoDS;
    DataSource* ClientiS;
    DataSource* FornitoriS;
    DataSource* Testa_CarS;
    DataSource* Detta_CarS;
    DataSource* ArticoliS;
    DataSource* QueryS;

    // Accounting database, read only by the import
    Connection* Dati;
    Table* Test_Fatt;
    Table* Dett_Fatt;
    Table* BolleT;
    DataSource* Test_FattS;
    DataSource* Dett_FattS;
    DataSource* BolleS;

    // The handlers work on the table given, so that a computation with tables
    // of its own (the import) gets the same defaults and calculated fields.
    static void TestataNewRecord(Table& t);
    static void TestataCalcFields(Table& t);
    static void Test_FattCalcFields(Table& t);
    static void Dett_FattCalcFields(Table& t);
    // The columns of the accounting tables the system needs (opening fails when
    // one is missing or of another kind) and their calculated fields.
    static void dichiaraTestFatt(Table& t);
    static void dichiaraDettFatt(Table& t);

    // The invoice tables in the order the log-in opens them.
    QList<Table*> tabelleFatture() const;
    // The current sales invoice: AziendaT, Testata and its lines Detta.
    TabelleFattura fattura() const { return {*AziendaT, *Testata, *Detta}; }
    // The current purchase invoice: AziendaT, Testa_Car and its lines Detta_Car.
    TabelleFattura acquisto() const { return {*AziendaT, *Testa_Car, *Detta_Car}; }

signals:
    // An automatic refresh failed and was switched off for that table.
    void autoRefreshFailed(const QString& table, const QString& message);

private:
    Table* tabella(Connection* c, const QString& name, DataSource*& source);
    void creaFatture();
    void creaContabilita();
    std::unique_ptr<Connection> m_xml;
    std::unique_ptr<Connection> m_dati;
    std::unique_ptr<::Query> m_query;
};
