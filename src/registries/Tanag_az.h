#pragma once

#include "widgets/FinestraModale.h"

class DBComboBox;
class DBEdit;
class DBNavigator;
class QLabel;
class TDiz;

// The company's own data (table azienda through the data module's AziendaS): name, address, tax
// codes, business register data, contacts, output folder and bank account. Every
// control is bound to the current row of AziendaT, the first row of the table; typing
// starts the edit (a new row when the table is empty), the navigator posts, cancels
// and re-reads it. Closing the window hides it and leaves a pending edit pending.
class Tanag_az : public FinestraModale {
    Q_OBJECT
public:
    explicit Tanag_az(TDiz& diz, QWidget* parent = nullptr);

    QLabel* Label1;          // the heading
    DBEdit* DBEdit1;         // rag_soc
    DBEdit* DBEdit2;         // indirizzo
    DBEdit* DBEdit3;         // cap
    DBEdit* DBEdit4;         // comune
    DBEdit* DBEdit5;         // prov
    DBEdit* DBEdit6;         // nazione
    DBEdit* DBEdit7;         // p_iva
    DBEdit* DBEdit8;         // cod_fis
    DBEdit* DBEdit9;         // reg_fisc
    DBEdit* DBEdit10;        // uff_rea
    DBEdit* DBEdit11;        // num_rea
    DBEdit* DBEdit12;        // capit_soc
    DBEdit* DBEdit13;        // path
    DBEdit* DBEdit14;        // iban
    DBEdit* DBEdit15;        // mail
    DBEdit* DBEdit16;        // telefono
    DBComboBox* DBComboBox1; // stato_liq
    DBComboBox* DBComboBox2; // soc_uni
    DBNavigator* DBNavigator1;

    // The controls in tab order.
    QList<QWidget*> controlli() const;

private:
    void creaIntestazione();
    void creaCampi();
    void creaNavigatore();
    TDiz& m_diz;
};
