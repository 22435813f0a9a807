#include "EnterAsTab.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

EnterAsTab::EnterAsTab(QWidget* form) : QObject(form), m_form(form) {}

void EnterAsTab::install(QWidget* form) {
    if (form->findChild<EnterAsTab*>(QString(), Qt::FindDirectChildrenOnly)) return;
    // Keys go to the focused control, not to the form: watch them before any control.
    qApp->installEventFilter(new EnterAsTab(form));
}

bool EnterAsTab::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !m_form || !watched->isWidgetType()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (w != m_form && !m_form->isAncestorOf(w)) return false;
    // A cell editor first gives its text back to the grid, which then is the control
    // the focus leaves.
    for (QWidget* p = w->parentWidget(); p && p != m_form; p = p->parentWidget())
        if (auto* view = qobject_cast<QAbstractItemView*>(p)) {
            view->setFocus(Qt::OtherFocusReason);
            break;
        }
    const bool back = key->modifiers() & Qt::ShiftModifier;
    QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                  back ? Qt::ShiftModifier : Qt::NoModifier);
    QCoreApplication::sendEvent(w->window(), &tab);
    return true;
}
