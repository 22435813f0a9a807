#pragma once

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QTimer>

// Closes the print preview a click opens, as the user would, and keeps its page count
// (-1 when no preview was shown) and how it showed them.
class ChiudiAnteprima {
public:
    ChiudiAnteprima() {
        m_timer.callOnTimeout([this] {
            if (auto* d = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
                const auto* vista = d->findChild<QPrintPreviewWidget*>();
                pagine = vista->pageCount();
                larghezzaPagina = vista->zoomMode() == QPrintPreviewWidget::FitToWidth;
                const QRect schermo = d->screen()->availableGeometry();
                // Maximized: the window manager fits its frame into the screen.
                schermoIntero = d->windowState().testFlag(Qt::WindowMaximized) &&
                                d->width() >= schermo.width() * 9 / 10 &&
                                d->height() >= schermo.height() * 9 / 10;
                d->reject();
            }
        });
        m_timer.start(50);
    }

    int pagine = -1;
    bool larghezzaPagina = false; // the page as wide as the window
    bool schermoIntero = false;   // the window as large as the screen

private:
    QTimer m_timer;
};
