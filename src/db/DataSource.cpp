#include "DataSource.h"

#include "Table.h"

DataSource::DataSource(Table* table, QObject* parent) : QObject(parent) {
    setTable(table);
}

Table* DataSource::table() const {
    return m_table;
}

void DataSource::setTable(Table* table) {
    if (m_table) disconnect(m_table, nullptr, this, nullptr);
    m_table = table;
    if (!table) return;
    connect(table, &Table::afterScroll, this, &DataSource::recordChanged);
    connect(table, &Table::dataSetChanged, this, &DataSource::dataSetChanged);
    connect(table, &Table::stateChanged, this, &DataSource::stateChanged);
    connect(table, &Table::fieldChanged, this, &DataSource::fieldChanged);
    connect(table, &Table::afterPost, this, &DataSource::afterPost);
    connect(table, &Table::rowRemoved, this, &DataSource::rowRemoved);
    connect(table, &Table::rowInserted, this, &DataSource::rowInserted);
    connect(table, &Table::rowChanged, this, &DataSource::rowChanged);
}

void DataSource::edit() {
    if (m_table && m_table->isOpen() && !m_table->isEditing()) m_table->edit();
}
