#include "DBGridDelegate.h"

#include "DBGrid.h"
#include "DataSourceModel.h"
#include "db/Table.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPersistentModelIndex>

DBGridDelegate::DBGridDelegate(DBGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

void DBGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (const auto& cellPainter = m_grid->cellPainter()) {
        painter->save();
        cellPainter(painter, option.rect, index.row(), m_grid->column(index.column()));
        painter->restore();
    }
}

void DBGridDelegate::editStarted(const QModelIndex& index) const {
    m_grid->dataModel()->startEdit(index.row());
}

QWidget* DBGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                      const QModelIndex& index) const {
    if (!m_grid->column(index.column()).pickList.isEmpty()) return pickListEditor(parent, index);
    auto* line = new QLineEdit(parent);
    line->setFrame(false);
    const DataSourceModel* model = m_grid->dataModel();
    const int f = model->fieldIndex(index.column());
    const int size = f >= 0 ? model->table()->columns()[f].size : 0;
    if (size > 0) line->setMaxLength(size);
    const QPersistentModelIndex at(index);
    connect(line, &QLineEdit::textEdited, this, [this, at] { editStarted(at); });
    return line;
}

QWidget* DBGridDelegate::pickListEditor(QWidget* parent, const QModelIndex& index) const {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->addItems(m_grid->column(index.column()).pickList);
    const QPersistentModelIndex at(index);
    connect(combo->lineEdit(), &QLineEdit::textEdited, this, [this, at] { editStarted(at); });
    // A value picked from the list is written at once.
    connect(combo, &QComboBox::activated, this, [this, at, combo] {
        editStarted(at);
        auto* self = const_cast<DBGridDelegate*>(this);
        emit self->commitData(combo);
    });
    return combo;
}

void DBGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (combo->currentText() != text) combo->setEditText(text);
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        if (line->text() != text) line->setText(text);
    }
}

void DBGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                  const QModelIndex& index) const {
    QString text;
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        text = combo->currentText();
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        text = line->text();
    else
        return;
    model->setData(index, text, Qt::EditRole);
}
