#pragma once

#include <QObject>
#include <QPointer>

class Table;

// Binds data-aware controls and detail tables to a table component: relays its
// notifications and lets a control start an edit when the user types.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Table* table = nullptr, QObject* parent = nullptr);

    Table* table() const;
    void setTable(Table* table);
    // A control's content is being changed by the user: put the table into edit state.
    void edit();

signals:
    void recordChanged();
    void dataSetChanged();
    void stateChanged();
    void fieldChanged(int column);
    void afterPost();
    void rowRemoved(int row);
    void rowInserted(int row);
    void rowChanged(int row);

private:
    QPointer<Table> m_table;
};
