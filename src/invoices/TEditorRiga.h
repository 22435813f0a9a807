#pragma once

#include "invoices/CampiRiga.h"
#include "invoices/OperazioniRiga.h"

#include <QFrame>
#include <functional>
#include <vector>

class DBEdit;
class QComboBox;
class QLineEdit;
class QPushButton;
class TDiz;

// The line editor of the invoice window (panel P3, over the header grid): plain
// fields for one invoice line that reach the database only on "Registra". The
// discount amount and the line total are recomputed whenever a number or a
// choice is left. The fields keep their content from one opening to the next.
class TEditorRiga : public QFrame {
    Q_OBJECT
public:
    explicit TEditorRiga(TDiz& diz, QWidget* parent = nullptr);

    QLineEdit* Edit1;     // "DESCRIZIONE"
    QLineEdit* Edit2;     // "Quantita"
    QLineEdit* Edit3;     // "U.M."
    QLineEdit* Edit4;     // "Aliquota"
    QLineEdit* Edit5;     // "Codice Tipo"
    QLineEdit* Edit6;     // "Codice Valore"
    QLineEdit* Edit7;     // "Pr. Lordo "
    QComboBox* cb1;       // "Tipo Sc."
    QLineEdit* Edit8;     // "Sc.Perc."
    QLineEdit* Edit9;     // "Tot. Sconto ", computed
    QLineEdit* Edit10;    // "Prezzo Totale", computed
    QComboBox* cb2;       // "Premio/Abbuono"
    QComboBox* cb3;       // "Ritenuta"
    QComboBox* CB4;       // "Natura"
    QLineEdit* Edit11;    // "Rif. Amministrativo"
    DBEdit* DBEdit39;     // stored nature of the current line
    QPushButton* BitBtn8; // "Registra"
    QPushButton* BitBtn9; // "Annulla"

    ModoRiga modo() const { return m_modo; }
    // The texts the fields hold; a combo box gives its selected item.
    CampiRiga campi() const;

    void BitBtn7Click();  // "Ins. Riga"
    void BitBtn10Click(); // "Mod. Riga"
    void BitBtn12Click(); // "Elimina Riga"
    void BitBtn8Click();  // "Registra"
    void BitBtn9Click();  // "Annulla"
    void Edit2Exit();
    void Edit7Exit();
    void Edit8Exit();
    void cb1Exit(); // leaving any of the four combo boxes

private:
    QLineEdit* campo(const QString& nome, const QString& titolo, int x, int y, int larghezza,
                     int lunghezza);
    QComboBox* scelta(const QString& nome, const QString& titolo, int x, int y,
                      const QStringList& voci);
    void mostra(const CampiRiga& c);
    void esci(void (*operazione)(CampiRiga&));
    void fuocoCambiato(QWidget* vecchio, QWidget* nuovo);

    TDiz& m_diz;
    ModoRiga m_modo = ModoRiga::Nuova;
    // Fields with a leave handler.
    std::vector<std::pair<QWidget*, std::function<void()>>> m_uscite;
};
