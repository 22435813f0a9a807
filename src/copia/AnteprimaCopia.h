#pragma once

#include <QString>

class QWidget;

// Shows the readable copy of a FatturaPA file in the modal print preview, from which
// the user prints it; returns when the preview is closed. Answers the Italian reason
// when the file has no copy to show (nothing is shown then), empty otherwise.
QString anteprimaCopia(const QString& percorso, QWidget* genitore);
