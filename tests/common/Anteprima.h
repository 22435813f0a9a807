#pragma once

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>

// Closes the print preview a click opens, as the user would, and keeps its page count
// (-1 when no preview was shown).
class ChiudiAnteprima {
public:
    ChiudiAnteprima() {
        m_timer.callOnTimeout([this] {
            if (auto* d = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
                pagine = d->findChild<QPrintPreviewWidget*>()->pageCount();
                d->reject();
            }
        });
        m_timer.start(50);
    }

    int pagine = -1;

private:
    QTimer m_timer;
};
