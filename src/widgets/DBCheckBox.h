#pragma once

#include <QCheckBox>

class DataSource;
class FieldLink;

// A check box bound to one field of a data source: ticked means true. Clicking it puts
// the table into edit state and writes the field (1 or 0 in a number column).
class DBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    explicit DBCheckBox(const QString& text, QWidget* parent = nullptr);

    void setDataSource(DataSource* ds);
    DataSource* dataSource() const;
    void setField(const QString& name);
    QString field() const;

private:
    void showField();

    FieldLink* m_link;
};
