#pragma once

#include <QFrame>

class DBCheckBox;
class DBComboBox;
class DBEdit;
class DBGrid;
class DBNavigator;
class QLabel;
class QPushButton;
class TDiz;
class TPannelloIva;

// The header editor of the invoice window (panel P4, "Testata Documento"): every
// column of the current invoice header, its four VAT slots, the document
// discount and the order/contract references. Typing into a control starts the
// edit of the current header; "Registra" recomputes the totals and closes the
// panel, "Annulla" drops the pending changes of the header and closes it.
class TPannelloTestata : public QFrame {
    Q_OBJECT
public:
    explicit TPannelloTestata(TDiz& diz, QWidget* parent = nullptr);

    DBComboBox* DBComboBox1; // tipo_doc
    DBEdit* DBEdit1;         // data_doc
    DBEdit* DBEdit2;         // num_doc
    DBEdit* DBEdit3;         // rag_soc
    DBCheckBox* DBCheckBox1; // inviata
    DBEdit* DBEdit4;         // indirizzo
    DBEdit* DBEdit5;         // comune
    DBEdit* DBEdit6;         // cap
    DBEdit* DBEdit7;         // prov
    DBComboBox* DBComboBox4; // nazione
    DBEdit* DBEdit8;         // p_iva
    DBEdit* DBEdit9;         // cod_fis
    DBEdit* DBEdit10;        // cod_dest
    DBEdit* DBEdit11;        // pec
    DBEdit* DBEdit32;        // trasporto
    DBComboBox* DBComboBox2; // tipo_pag
    DBComboBox* DBComboBox3; // mod_pag
    DBEdit* DBEdit12;        // n_rate
    DBEdit* DBEdit13;        // scad1 .. scad4
    DBEdit* DBEdit14;
    DBEdit* DBEdit15;
    DBEdit* DBEdit16;

    TPannelloIva* Panel2; // VAT slots 1 to 4
    TPannelloIva* Panel4;
    TPannelloIva* Panel5;
    TPannelloIva* Panel6;

    QFrame* Panel3;          // discount and document total
    DBComboBox* DBComboBox5; // sc_tipo
    DBEdit* DBEdit20;        // sc_perc
    DBEdit* DBEdit21;        // sc_importo
    DBEdit* DBEdit29;        // tot_doc

    DBGrid* DBGrid3; // reference kinds (test_dati)
    DBGrid* DBGrid4; // references of the kind (dati_acquisto)
    DBNavigator* DBNavigator3;
    DBNavigator* DBNavigator4;

    QPushButton* BitBtn13; // "Registra"
    QPushButton* BitBtn14; // "Annulla"

    void BitBtn13Click();
    void BitBtn14Click();

private:
    void creaIntestazione();
    void creaAnagrafica();
    void creaPagamento();
    void creaSconto();
    void creaRiferimenti();
    void impostaOrdineTab();
    QLabel* etichetta(QWidget* parent, const QString& testo, int x, int y);
    DBEdit* campo(QWidget* parent, const QString& colonna, const QString& titolo, int x, int y,
                  int larghezza);
    DBComboBox* scelta(QWidget* parent, const QString& colonna, const QString& titolo, int x, int y,
                       int larghezza, const QStringList& voci);
    TDiz& m_diz;
};
