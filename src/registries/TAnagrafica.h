#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

#include "widgets/DBNavigator.h"

class DataSource;
class DBEdit;
class DBGrid;
class QLabel;
class QLineEdit;
class QPushButton;
class Table;

// What sets a registry window of counterparties apart: its table, texts, grid and
// navigator, and the fields on the right (label, column, position, width, letter case).
struct ImpostazioneAnagrafica {
    struct Campo {
        const char* etichetta;
        const char* colonna;
        int x, y, larghezza;
        char maiuscole; // 'U' upper case, 'L' lower case, 0 as typed
    };
    QString nome;         // object name of the form
    QString titolo;       // caption
    QString intestazione; // heading
    QString tabella;      // table searched
    Table* t;
    DataSource* ds;
    QString titoloId;
    int larghezzaId;
    int larghezzaRagSoc;
    QList<DBNavigator::Button> pulsanti;
    QList<Campo> campi;
};

// The registry window of customers or suppliers: a list of company names searched as
// the user types ("Ricerca"), a navigator, "Nuovo" and the bound fields of the current
// row. Beside "Partita IVA" and "Codice Fiscale" of an Italian counterparty a red
// label says when the value fails its check digit; nothing is refused. Hidden, not
// destroyed, when closed: the search text, the statement of the search, the current
// row and a pending edit stay as they are.
class TAnagrafica : public QDialog {
    Q_OBJECT
public:
    QLabel* Label1;   // the heading
    QLineEdit* Edit1; // "Ricerca"
    DBGrid* DBGrid1;
    DBNavigator* DBNavigator1;
    QPushButton* BitBtn1; // "Nuovo"
    QList<DBEdit*> campi; // DBEdit1, DBEdit2, ... in the order of the fields
    QLabel* avvisoPartitaIva;
    QLabel* avvisoCodiceFiscale;

    DBEdit* campo(const QString& colonna) const; // by column
    // The controls in tab order.
    virtual QList<QWidget*> controlli() const;

    void Edit1Change();  // search
    void BitBtn1Click(); // "Nuovo": a new empty row, focus in "Ragione Sociale"

protected:
    TAnagrafica(const ImpostazioneAnagrafica& impostazione, QWidget* parent);
    // A double click on the grid; true when it acted (the grid then does nothing else).
    virtual bool DBGrid1DblClick() { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;

    Table* m_t;

private:
    void creaControlli(const ImpostazioneAnagrafica& impostazione);
    void aggiornaAvvisi();
    QString m_tabella;
};
