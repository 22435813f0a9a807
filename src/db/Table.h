#pragma once

#include "ColumnInfo.h"
#include "DataSource.h"
#include "FirmaRighe.h"
#include "Field.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class Connection;

enum class TableState { Inactive, Browse, Edit, Insert };

// Remembers a row: by its key where the table has one, else by its position.
struct Bookmark {
    QVariantList key;
    int index = -1;
    bool isValid() const { return index >= 0; }
};

// A table component: the rows of one table (or of a replacement select statement)
// held in memory, a current row that bound controls follow, editing with posts that
// write only the changed columns, master/detail links, calculated fields and an
// optional automatic refresh.
class Table : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(Table&)>;

    Table(Connection* connection, const QString& tableName, QObject* parent = nullptr);
    ~Table() override;

    // Configuration
    Connection* connection() const { return m_connection; }
    QString tableName() const { return m_tableName; }
    void setTableName(const QString& name);
    QString sql() const { return m_sql; }
    // Replacement statement (empty reads the table) with the values of its "?"
    // placeholders, bound as parameters: a value never becomes part of the statement.
    void setSql(const QString& select, const QVariantList& binds = {});
    QVariantList sqlBinds() const { return m_sqlBinds; }
    void setOrderBy(const QStringList& columns);
    void setMaster(DataSource* master, const QStringList& detailColumns,
                   const QStringList& masterColumns);
    void setMasterSource(DataSource* master);
    DataSource* masterSource() const { return m_master; }
    void addCalculatedField(const QString& name, QMetaType::Type type = QMetaType::QString);
    void declareField(const QString& name, FieldKind kind);
    void setOnNewRecord(Handler handler) { m_onNewRecord = std::move(handler); }
    void setOnCalcFields(Handler handler) { m_onCalcFields = std::move(handler); }
    void setAutoRefresh(int milliseconds);
    int autoRefreshInterval() const { return m_autoRefreshMs; }
    bool autoRefreshActive() const { return m_timer.isActive(); }

    // Life cycle
    void open();
    void close();
    bool isOpen() const { return m_state != TableState::Inactive; }
    void refresh();

    // Rows and navigation
    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    int recNo() const { return m_current; }       // 0-based; -1 without rows
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool locate(const QString& column, const QVariant& value);
    bool locate(const QString& column1, const QVariant& value1, const QString& column2,
                const QVariant& value2);
    Bookmark bookmark() const;
    bool gotoBookmark(const Bookmark& bookmark);

    // Fields
    const std::vector<ColumnInfo>& columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    int fieldIndex(const QString& name) const;   // -1 when missing; any letter case
    Field field(const QString& name);            // throws DbError when missing
    Field field(int column) { return Field(this, column); }
    QVariant value(int row, int column) const;   // for grids
    QVariant currentValue(int column) const;
    void setCurrentValue(int column, const QVariant& value);

    // Editing
    TableState state() const { return m_state; }
    bool isEditing() const { return m_state == TableState::Edit || m_state == TableState::Insert; }
    void edit();
    void append();
    void insert();
    void post();
    void cancel();
    void remove();
    void checkBrowseMode();   // posts a pending edit

signals:
    void afterScroll();             // the current row changed
    void dataSetChanged();          // rows opened, closed or re-read
    void stateChanged();
    void fieldChanged(int column);  // a value of the current row changed
    void afterPost();
    void autoRefreshFailed(const QString& message);

private:
    struct Row;
    using RowPtr = std::unique_ptr<Row>;

    Row* currentRow() const;
    Row* accessRow() const;
    void loadColumns(const class QSqlRecord& record);
    void loadTableMeta();
    void checkDeclared() const;
    void fetch(bool keepPosition, bool conFirme = false);
    bool firmeUsabili() const;
    void aggiornaDaFirme();
    void leggiRigheFirmate(const QVariantList& chiavi);
    RowPtr leggiRiga(const class QSqlQuery& q, int stored, bool conFirma) const;
    QString selectStatement(QVariantList& binds, bool& masterMissing, bool conFirme) const;
    void sortRows();
    bool alSuoPosto(int row) const;
    void calcFields(Row& row);
    void setPosition(int row, bool notify = true);
    void startNewRow(int at);
    void writeInsert(Row& row);
    void writeUpdate(Row& row);
    QString whereRow(const Row& row, QVariantList& binds, bool useOriginal) const;
    int primaryKeyColumn() const;
    QVariantList keyOf(const Row& row) const;
    int findKey(const QVariantList& key) const;
    void reReadRow(Row& row);
    void setState(TableState state);
    void onMasterChanged();
    void onTimer();
    QVariantList masterValues() const;
    QVariant coerce(int column, const QVariant& value) const;
    void requireOpen() const;
    void requireEditing() const;

    friend class Field;

    Connection* m_connection;
    QString m_tableName;
    QString m_sql;
    QVariantList m_sqlBinds;
    QStringList m_orderBy;
    QPointer<DataSource> m_master;
    QStringList m_detailColumns;
    QStringList m_masterColumns;
    QVariantList m_linkValues;
    std::vector<std::pair<QString, QMetaType::Type>> m_calculated;
    std::vector<std::pair<QString, FieldKind>> m_declared;
    Handler m_onNewRecord;
    Handler m_onCalcFields;

    std::vector<ColumnInfo> m_columns;
    QHash<QString, int> m_byName;        // by lower-case name
    QHash<QString, int> m_byExactName;
    QHash<QString, ColumnInfo> m_tableMeta;   // sizes and keys of the table's columns
    std::vector<RowPtr> m_rows;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    TableState m_state = TableState::Inactive;
    std::unique_ptr<Row> m_original;   // the row as read, while it is edited
    std::vector<bool> m_changed;
    int m_insertedFrom = -1;           // current row before an insert
    Row* m_calcRow = nullptr;

    FirmaRighe m_firme;
    bool m_conFirme = false;   // the rows carry the server's signatures

    QTimer m_timer;
    int m_autoRefreshMs = 0;
};
