#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <Qt>

// One column of a data-bound grid.
struct DBGridColumn {
    QString field;
    QString title;
    int width = -1; // pixels; -1: from the column's size, once the table is open
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    QStringList pickList; // values offered by a drop-down editor
    bool readOnly = false;
    QColor color; // cell background; invalid: the grid's
};
