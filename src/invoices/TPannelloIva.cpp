#include "TPannelloIva.h"

#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"

#include <QLabel>

namespace {

constexpr int kAltezzaRiga = 23;
constexpr int kSinistraCampo = 88;

// Rows of the slot panels, top to bottom; slot 4 leaves out the rows it lacks.
enum Riga { RAliquota, REsigIva, RSpese, RImponibile, RImposta, ROmaggio, RNatura, RNormativa };

} // namespace

TPannelloIva::TPannelloIva(int slot, const QStringList& nature, DataSource* source, QWidget* parent)
    : QFrame(parent), m_source(source), m_suffisso(slot == 1 ? QString() : QString::number(slot)) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    const bool completo = slot < 4;
    // Slot 4 shows its rows without the gaps of the missing ones.
    auto riga = [completo](Riga r) {
        if (completo) return int(r);
        return r == RAliquota || r == REsigIva ? int(r) : r < RNatura ? int(r) - 1 : int(r) - 2;
    };
    // Created in tab order: rate, due time, expenses, taxable, VAT, nature,
    // legal reference, gift total.
    Aliquota = campo(QStringLiteral("aliquota"), riga(RAliquota), QStringLiteral("Aliquota"), 60);
    EsigIva = scelta(QStringLiteral("esig_iva"), riga(REsigIva), QStringLiteral("Esigib. Iva"),
                     {QStringLiteral("I"), QStringLiteral("D"), QStringLiteral("S")});
    if (completo)
        Spese = campo(QStringLiteral("spese"), riga(RSpese), QStringLiteral("Spese"), 100);
    Imponibile =
        campo(QStringLiteral("imponibile"), riga(RImponibile), QStringLiteral("Imponibile"), 100);
    Imponibile->setReadOnly(true);
    Imposta = campo(QStringLiteral("imposta"), riga(RImposta), QStringLiteral("Imposta"), 100);
    Imposta->setReadOnly(true);
    Natura = scelta(QStringLiteral("natura"), riga(RNatura), QStringLiteral("Natura"), nature);
    if (completo) {
        Normativa =
            campo(QStringLiteral("normativa"), riga(RNormativa), QStringLiteral("Normativa"), 196);
        LabelNormativa = m_ultimaEtichetta;
        Omaggio =
            campo(QStringLiteral("tot_omaggio"), riga(ROmaggio), QStringLiteral("Omaggio"), 100);
        Omaggio->setReadOnly(true);
    } else {
        // Slot 4 keeps a legal reference field of its own, never shown.
        Normativa = new DBEdit(this);
        Normativa->setObjectName(QStringLiteral("normativa4"));
        LabelNormativa = new QLabel(QStringLiteral("Normativa"), this);
        Normativa->hide();
        LabelNormativa->hide();
    }
}

QLabel* TPannelloIva::etichetta(const QString& titolo, int riga) {
    auto* l = new QLabel(titolo, this);
    l->setGeometry(8, 6 + riga * kAltezzaRiga, kSinistraCampo - 12, 21);
    return l;
}

DBEdit* TPannelloIva::campo(const QString& colonna, int riga, const QString& titolo,
                            int larghezza) {
    m_ultimaEtichetta = etichetta(titolo, riga);
    auto* e = new DBEdit(this);
    e->setObjectName(colonna + m_suffisso);
    e->setGeometry(kSinistraCampo, 6 + riga * kAltezzaRiga, larghezza, 21);
    e->setDataSource(m_source);
    e->setField(colonna + m_suffisso);
    return e;
}

DBComboBox* TPannelloIva::scelta(const QString& colonna, int riga, const QString& titolo,
                                 const QStringList& voci) {
    etichetta(titolo, riga);
    auto* c = new DBComboBox(this);
    c->setObjectName(colonna + m_suffisso);
    c->setGeometry(kSinistraCampo, 6 + riga * kAltezzaRiga, 70, 21);
    c->setStyle(DBComboBox::Style::DropDown);
    c->setItems(voci);
    c->setDataSource(m_source);
    c->setField(colonna + m_suffisso);
    return c;
}

QList<QWidget*> TPannelloIva::ordineTab() const {
    QList<QWidget*> ordine{Aliquota, EsigIva};
    if (Spese) ordine << Spese;
    ordine << Imponibile << Imposta << Natura;
    if (Omaggio) ordine << Normativa << Omaggio;
    return ordine;
}
