#pragma once

#include "db/Table.h" // DataSource::table() needs the whole class

#include <QList>
#include <QPointer>
#include <QWidget>
#include <map>

class QAbstractButton;
class QHBoxLayout;

// A row of buttons that move through the rows of a data source and edit them. Buttons
// are enabled as they apply: moving back only away from the first row, post and cancel
// only while editing, and so on. Delete asks for confirmation first; errors of the data
// layer are shown to the user.
class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

    explicit DBNavigator(QWidget* parent = nullptr);

    void setDataSource(DataSource* ds);
    DataSource* dataSource() const { return m_ds; }
    // The buttons shown, always in the order of Button; all ten by default.
    void setButtons(const QList<Button>& buttons);
    QList<Button> buttons() const;
    QAbstractButton* button(Button b) const; // null for a button not shown

    static QList<Button> allButtons();

private:
    void press(Button b);
    void updateButtons();

    QPointer<DataSource> m_ds;
    QHBoxLayout* m_layout;
    std::map<Button, QAbstractButton*> m_buttons;
};
