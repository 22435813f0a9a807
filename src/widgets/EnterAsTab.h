#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Makes Enter in any control of a form move the focus to the next control in tab order
// (Shift+Enter to the previous one), as Tab does; the Enter itself never reaches the
// control, so a grid does not open or confirm its cell editor and a dialog does not
// press its default button.
class EnterAsTab : public QObject {
    Q_OBJECT
public:
    static void install(QWidget* form);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit EnterAsTab(QWidget* form);

    QPointer<QWidget> m_form;
};
