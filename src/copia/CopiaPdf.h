#pragma once

#include "copia/Copia.h"
#include "report/Impaginazione.h"

#include <QByteArray>
#include <QString>

// The copy laid out on A4 pages for the report engine's painter: every text wrapped
// inside its column (never cut, never past the page edge), tables split across pages
// with their headings repeated, "Pag. N di M" at the foot of every page. Linear in
// the size of the copy. Needs a GUI application (fonts are measured).
Impaginazione impaginaCopia(const Copia& copia);

// The PDF of the copy, fonts embedded, written through a temporary name; throws
// ErroreReport when the file cannot be written.
void pdfCopia(const Copia& copia, const QString& percorso);
// The PDF as bytes, for a web page.
QByteArray pdfCopia(const Copia& copia);
