#pragma once

#include <QFrame>

class QPushButton;

// The legend of the codes used in invoice headers and lines (panel P2 of the
// invoice window). "Chiudi" hides it.
class TLegenda : public QFrame {
    Q_OBJECT
public:
    explicit TLegenda(QWidget* parent = nullptr);

    QPushButton* BitBtn2; // "Chiudi"

private:
    int aggiungiGruppo(int top, const QString& gruppo, const QStringList& codici);
};
