#pragma once

#include <QStyledItemDelegate>

class DBGrid;

// Draws the cells of a DBGrid (then calls the grid's cell painter) and gives them
// their in-place editors: a drop-down for columns with a pick list, else a line edit
// as long as the column's size. Typing in an editor puts the table into edit state.
class DBGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit DBGridDelegate(DBGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    QWidget* pickListEditor(QWidget* parent, const QModelIndex& index) const;
    void editStarted(const QModelIndex& index) const;

    DBGrid* m_grid;
};
