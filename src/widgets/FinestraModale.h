#pragma once

#include <QDialog>

// A window shown modally and hidden (not destroyed) when closed. Escape does not close
// it: the windows are left through their own buttons or the title bar, so a pending
// edit is never left hanging by a stray key.
class FinestraModale : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
