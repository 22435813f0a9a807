#pragma once

#include "Impaginazione.h"

class QFont;
class QPagedPaintDevice;
class QPainter;
class QWidget;

// Draws laid-out pages and hands them to a PDF file, to the on-screen preview and from
// there to a printer. Needs a GUI application (fonts); without one it throws ErroreReport.
class Pittore {
public:
    Pittore() = delete;

    // Pages primaPagina to ultimaPagina (1-based, 0 for all) onto a paged device whose
    // origin is the corner of the sheet.
    static void dipingi(const Impaginazione& imp, QPagedPaintDevice& dispositivo, QPainter& painter,
                        int primaPagina = 0, int ultimaPagina = 0);
    // Writes the pages into a PDF file (through a temporary name) with its fonts
    // embedded; throws ErroreReport when the file cannot be written.
    static void pdf(const Impaginazione& imp, const QString& percorso);
    // A modal preview of the pages from which the user prints with the print dialog;
    // returns when the preview is closed.
    static void anteprima(const Impaginazione& imp, QWidget* genitore = nullptr);

    // The font that stands for a family name: the metric-compatible free font for the
    // usual office families, so the page looks the same on every machine.
    static QFont font(const Carattere& c);
    static QString famiglia(const QString& richiesta);
};
