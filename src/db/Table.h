#pragma once

#include "ColumnInfo.h"
#include "DataSource.h"
#include "Field.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class Connection;
class RowStore;
struct StoredRow;

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
    QString sql() const { return m_sql; }
    // Replacement statement (empty reads the table) with the values of its "?"
    // placeholders, bound as parameters: a value never becomes part of the statement.
    void setSql(const QString& select, const QVariantList& binds = {});
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
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int recNo() const { return m_current; } // 0-based; -1 without rows
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
    int fieldIndex(const QString& name) const; // -1 when missing; any letter case
    Field field(const QString& name);          // throws DbError when missing
    Field field(int column) { return Field(this, column); }
    QVariant value(int row, int column) const; // for grids
    // Bytes held for the rows' values (without the table's fixed overhead).
    std::size_t rowBytes() const;
    // The table follows the change log that triggers keep beside it (else, with an
    // integer key, it compares row signatures; else it reads everything again).
    bool followsChangeLog() const { return m_logged; }
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
    void checkBrowseMode(); // posts a pending edit

signals:
    void afterScroll();    // the current row changed
    void dataSetChanged(); // rows opened, closed or re-read
    void stateChanged();
    void fieldChanged(int column); // a value of the current row changed
    void afterPost();
    void autoRefreshFailed(const QString& message);
    // A refresh changed single rows, in this order (positions at the moment of each):
    // a row was removed, a row was inserted, a row's values changed in place.
    void rowRemoved(int row);
    void rowInserted(int row);
    void rowChanged(int row);

private:
    using Row = StoredRow;
    using RowPtr = std::unique_ptr<Row>;

    // Row storage and navigation (Table.cpp)
    Row* currentRow() const;
    Row* accessRow() const;
    QVariant rowValue(const Row& row, int column) const;
    void loadColumns(const class QSqlRecord& record);
    void loadTableMeta();
    void checkDeclared() const;
    void fetch(bool keepPosition, bool withSignatures = false);
    RowPtr readRow(const class QSqlQuery& q, int stored, bool withSignature);
    QString selectStatement(QVariantList& binds, bool& masterMissing, bool withSignatures) const;
    QString signatureColumn() const;
    void calcFields(Row& row);
    void setPosition(int row, bool notify = true);
    int primaryKeyColumn() const;
    QVariantList keyOf(const Row& row) const;
    int findKey(const QVariantList& key) const;
    void setState(TableState state);
    void onMasterChanged();
    void onTimer();
    QVariantList masterValues() const;
    void requireOpen() const;
    void requireEditing() const;

    // Refresh from the change log or the row signatures (TableRefresh.cpp)
    bool keyedRefresh() const;
    void refreshFromSignatures();
    void refreshFromLog();
    quint64 readLogMark();
    void applyChangedKeys(const QList<qint64>& keys);

    // Writing rows (TableWrite.cpp)
    void startNewRow(int at);
    void writeInsert(Row& row);
    void writeUpdate(Row& row);
    QString whereRow(const Row& row, QVariantList& binds, bool useOriginal) const;
    void reReadRow(Row& row);
    QVariant coerce(int column, const QVariant& value) const;

    friend class Field;

    // Invariants, kept by every member function:
    // - the rows in m_store follow m_orderBy (as the server's collation sorts), except
    //   the row being edited, which takes its place when it is posted;
    // - the key index knows every packed row with a non-null integer key, under that
    //   key; a row being inserted is open and not in the index until it is posted;
    // - m_current is -1 exactly when there are no rows, else a valid position; eof and
    //   bof are true whenever there are no rows;
    // - in Edit and Insert state the current row is open (its values changeable) and
    //   m_changed has one flag per column; in Edit state m_original holds the row as it
    //   was before the edit; in Browse state no row of the store is open;
    // - while the calculated-fields handler runs, m_calcRow is the (open) row whose
    //   fields it reads and sets, in place of the current row.

    Connection* m_connection;
    QString m_tableName;
    QString m_sql;
    QVariantList m_sqlBinds;
    int m_rollbacksSeen = 0; // the connection's rollbacks when the rows were last read
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
    QHash<QString, int> m_byName; // by lower-case name
    QHash<QString, int> m_byExactName;
    QHash<QString, ColumnInfo> m_tableMeta; // sizes and keys of the table's columns
    std::unique_ptr<RowStore> m_store;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;
    TableState m_state = TableState::Inactive;
    int m_pk = -1; // the primary key's column, or -1
    bool m_integerKey = false;
    QVector<QVariant> m_original; // the row as read, while it is edited
    bool m_hasOriginal = false;
    std::vector<bool> m_changed;
    int m_insertedFrom = -1; // current row before an insert
    Row* m_calcRow = nullptr;

    QStringList m_metaColumns;     // the table's columns in their order
    bool m_metaIntegerKey = false; // its key is one integer column
    QString m_signature;           // the row signature expression, when usable
    bool m_withSignatures = false; // the rows carry the server's signatures
    int m_dataSetChanges = 0;      // full reads so far
    bool m_logged = false;         // a change log with its triggers is beside the table
    quint64 m_logMark = 0;         // every log entry up to here is applied or void
    QSet<quint64> m_logApplied;    // entries applied above the mark and just below it

    QTimer m_timer;
    int m_autoRefreshMs = 0;
};
