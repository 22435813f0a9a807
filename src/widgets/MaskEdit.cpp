#include "MaskEdit.h"

MaskEdit::MaskEdit(QWidget* parent) : QLineEdit(parent) {}

void MaskEdit::setEditMask(const QString& mask) {
    m_mask = MascheraInput(mask);
    m_mask.apply(this);
}
