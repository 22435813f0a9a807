#pragma once

#include <QFrame>

class DBGrid;
class DBNavigator;
class MaskEdit;
class QLineEdit;
class QPainter;
class QPushButton;
class TDiz;
struct DBGridColumn;

// The main area of the invoice window (Panel1): the invoice headers, the lines
// of the current invoice and the buttons of every operation on invoices. The
// window connects the buttons; this class builds the controls, binds them and
// draws the invoices already sent in red.
class TAreaFatture : public QFrame {
    Q_OBJECT
public:
    explicit TAreaFatture(TDiz& diz, QWidget* parent = nullptr);

    DBNavigator* DBNavigator1; // headers
    QPushButton* BitBtn15;     // "Nuova"
    QPushButton* BitBtn3;      // "Sel. Cliente"
    QPushButton* BitBtn1;      // "Legenda"
    // Finding an invoice: a text (number, customer, VAT number) and a period.
    QLineEdit* Cerca;
    MaskEdit* Dal;
    MaskEdit* Al;
    QPushButton* Pulisci;
    DBGrid* DBGrid1; // headers

    DBNavigator* DBNavigator2; // lines
    QPushButton* BitBtn6;      // "Articoli Magazzino"
    QPushButton* BitBtn7;      // "Ins. Riga"
    QPushButton* BitBtn10;     // "Mod. Riga"
    QPushButton* BitBtn12;     // "Elimina Riga"
    QPushButton* BitBtn11;     // "Testata Doc."
    DBGrid* DBGrid2;           // lines

    QPushButton* BitBtn4;  // "Creazione File XML"
    QPushButton* BitBtn5;  // "Invio a SDI"
    QPushButton* BitBtn20; // "XML P.A."
    QPushButton* BitBtn21; // "Invio P.A."
    QPushButton* BitBtn18; // "Importa Fatture"
    MaskEdit* M1;          // date up to which the import takes documents
    QPushButton* BitBtn19; // "Invio Fatture al SDI"
    QPushButton* BitBtn16; // "Elimina Fattura"
    QPushButton* BitBtn17; // "Stampa"
    QPushButton* BitBtn22; // "Copia Fattura": the readable copy of the written file

    // Draws a cell of an invoice already sent: red, with the cell's text in white.
    void DBGrid1DrawColumnCell(QPainter* p, const QRect& rect, int row, const DBGridColumn& column);

private:
    void creaRigaSuperiore();
    void creaRicerca();
    void creaGrigliaTestate();
    void ancora();
    void creaBarraRighe();
    void creaGrigliaRighe();
    void creaBarraInferiore();
    QPushButton* pulsante(const QString& nome, const QString& testo, const QRect& posizione,
                          const QColor& colore = Qt::black);
    TDiz& m_diz;
};
