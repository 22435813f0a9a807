#pragma once

#include "registries/TAnagrafica.h"

class TDiz;

// The customer registry (table clienti through the data module's ClientiS), also the customer
// picker of the invoice window: shown with scegliPer(), a double click copies the
// current customer into the current invoice header (Testata) and closes the window. Enter
// moves the focus as Tab does; each showing puts the focus into "Ricerca".
class TAnag_Cl : public TAnagrafica {
    Q_OBJECT
public:
    explicit TAnag_Cl(TDiz& diz, QWidget* parent = nullptr);

    QList<QWidget*> controlli() const override;

    // Shows the registry modally for the invoice window `fatture`: while that window
    // is visible a double click picks the customer.
    void scegliPer(QWidget* fatture);

    void FormShow();
    // The pick. It does nothing while the invoice window is not visible (the registry
    // was opened from the main menu) and on a grid without customers.
    bool DBGrid1DblClick() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TDiz& m_diz;
    QPointer<QWidget> m_fatture;
};
