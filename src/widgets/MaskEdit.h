#pragma once

#include "MascheraInput.h"

#include <QLineEdit>

// An edit field bound to nothing, with an edit mask such as "!99/99/00;1;_" (a date
// as day/month/two-digit year: text() gives "dd/mm/yy").
class MaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskEdit(QWidget* parent = nullptr);

    void setEditMask(const QString& mask);
    QString editMask() const { return m_mask.mask(); }
    // The entered text as a masked field stores it; empty when nothing was entered.
    QString value() const { return m_mask.value(this); }

private:
    MascheraInput m_mask;
};
