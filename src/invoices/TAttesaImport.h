#pragma once

#include <QElapsedTimer>
#include <QObject>

class QProgressDialog;
class QWidget;
struct AvanzamentoImportazione;

// What the invoice window shows while "Importa Fatture" runs: a progress dialog
// (documents read out of the total, invoices created) that repaints during the
// run, a wait cursor, and no user input reaching the program until it ends.
// There is nothing to cancel. All of it lasts as long as the object.
class TAttesaImport : public QObject {
    Q_OBJECT
public:
    explicit TAttesaImport(QWidget* finestra);
    ~TAttesaImport() override;

    // The import's progress: updates the dialog and lets it repaint.
    void aggiorna(const AvanzamentoImportazione& avanzamento);

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    QProgressDialog* m_dialogo;
    QElapsedTimer m_ridisegno;
};
