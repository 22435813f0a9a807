#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// A message of more than a few lines (the findings of an import, of a written file):
// its first line as a heading, the whole text in a scrolling area, "Copia" putting it
// on the clipboard and "OK". The window can be resized and never starts larger than
// the screen it opens on.
class FinestraMessaggio : public QDialog {
    Q_OBJECT
public:
    explicit FinestraMessaggio(const QString& testo, QWidget* parent = nullptr);

    // Whether a text needs this window rather than a plain message box.
    static bool serve(const QString& testo);

    QLabel* riepilogo;
    QPlainTextEdit* testo;
    QPushButton* copia;
    QPushButton* ok;
};
