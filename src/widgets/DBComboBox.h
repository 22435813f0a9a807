#pragma once

#include <QComboBox>

class DataSource;
class FieldLink;

// A combo box bound to one field of a data source. DropDown lets the user type any
// value besides picking one of the items; DropDownList only picks. Typing or picking
// puts the table into edit state and writes the field.
class DBComboBox : public QComboBox {
    Q_OBJECT
public:
    enum class Style { DropDown /*editable*/, DropDownList };

    explicit DBComboBox(QWidget* parent = nullptr);

    void setDataSource(DataSource* ds);
    DataSource* dataSource() const;
    void setField(const QString& name);
    QString field() const;
    void setItems(const QStringList& items);
    QStringList items() const;
    using QWidget::setStyle;
    void setStyle(Style style);
    Style comboStyle() const { return m_style; }

private:
    void showField();
    void writeText(const QString& text);

    FieldLink* m_link;
    Style m_style = Style::DropDown;
};
