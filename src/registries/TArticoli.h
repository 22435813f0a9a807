#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <utility>

class DBComboBox;
class DBEdit;
class DBGrid;
class DBNavigator;
class QLabel;
class QLineEdit;
class QPushButton;
class TDiz;

// The warehouse articles (table magazzino through the data module's ArticoliS), searched by code
// or by description and always listed by code, with the selling and buying prices
// computed when a price, percentage or discount kind is left. Also the article
// picker of the invoice window: shown with scegliPer(), a double click runs the pick
// the invoice window hands in (it adds the article as a new line of the current
// invoice), shows its warnings and closes the window. Enter moves
// the focus as Tab does; each showing empties both searches; closing posts a pending
// edit of the article.
class TArticoli : public QDialog {
    Q_OBJECT
public:
    explicit TArticoli(TDiz& diz, QWidget* parent = nullptr);
    ~TArticoli() override;

    QLabel* Label1;   // the heading
    QLineEdit* Edit1; // search by code
    QLineEdit* Edit2; // search by description
    DBGrid* DBGrid3;
    DBNavigator* DBNavigator1;
    QPushButton* BitBtn1;    // "Nuovo"
    DBEdit* DBEdit1;         // descrizione
    DBEdit* DBEdit2;         // esistenza
    DBEdit* DBEdit3;         // um
    DBEdit* DBEdit16;        // aliquota
    DBEdit* DBEdit14;        // codice_tipo
    DBEdit* DBEdit15;        // codice_val
    DBEdit* DBEdit4;         // prezzo_unit
    DBComboBox* DBComboBox1; // sc_tipo
    DBEdit* DBEdit6;         // sc_perc
    DBEdit* DBEdit7;         // sc_importo
    DBEdit* DBEdit8;         // prezzo_tot
    DBEdit* DBEdit9;         // costo_unit
    DBComboBox* DBComboBox2; // sc_costo_tipo
    DBEdit* DBEdit11;        // sc_costo_perc
    DBEdit* DBEdit12;        // sc_costo_importo
    DBEdit* DBEdit13;        // costo_tot

    // The controls in tab order.
    QList<QWidget*> controlli() const;

    // Shows the window modally for the invoice window `fatture`: while that window is
    // visible a double click on an article runs `scelta`, which returns its warnings.
    void scegliPer(QWidget* fatture, std::function<QStringList()> scelta);

    void Edit1Change();
    void Edit2Change();
    void BitBtn1Click();
    void DBEdit4Exit();
    void DBEdit6Exit();
    void DBComboBox1Exit();
    void DBEdit9Exit();
    void DBEdit11Exit();
    void DBComboBox2Exit();
    // The pick. It does nothing while the invoice window is not visible (the window
    // was opened from the main menu) and on a grid without articles.
    bool DBGrid3DblClick();
    void FormShow();
    // Posts a pending edit; false (the window stays open) when the post fails.
    bool FormClose();

    void done(int r) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void creaControlli();
    void cerca(const QString& colonna, const QString& testo);
    void esci(const QString& colonna, const QString& maschera, const QString& ripiego,
              bool vendita);
    void fuocoCambiato(QWidget* vecchio, QWidget* nuovo);

    TDiz& m_diz;
    QPointer<QWidget> m_fatture;
    std::function<QStringList()> m_scelta;
    QList<std::pair<QWidget*, std::function<void()>>> m_uscite;
};
