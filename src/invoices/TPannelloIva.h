#pragma once

#include <QFrame>
#include <QList>

class DataSource;
class DBComboBox;
class DBEdit;
class QLabel;

// One VAT summary slot of the header editor: rate, VAT due time, expenses,
// taxable amount, VAT, gift total, nature and legal reference of the slot.
// Slot 4 has no expenses and no gift total, and its legal reference is hidden.
class TPannelloIva : public QFrame {
    Q_OBJECT
public:
    TPannelloIva(int slot, const QStringList& nature, DataSource* source, QWidget* parent);

    DBEdit* Aliquota;
    DBComboBox* EsigIva;
    DBEdit* Spese = nullptr; // slots 1 to 3
    DBEdit* Imponibile;
    DBEdit* Imposta;
    DBEdit* Omaggio = nullptr; // slots 1 to 3
    DBComboBox* Natura;
    DBEdit* Normativa;
    QLabel* LabelNormativa;

    // The controls in their tab order.
    QList<QWidget*> ordineTab() const;

private:
    DBEdit* campo(const QString& colonna, int riga, const QString& titolo, int larghezza);
    DBComboBox* scelta(const QString& colonna, int riga, const QString& titolo,
                       const QStringList& voci);
    QLabel* etichetta(const QString& titolo, int riga);

    DataSource* m_source;
    QString m_suffisso;
    QLabel* m_ultimaEtichetta = nullptr; // label of the field created last
};
