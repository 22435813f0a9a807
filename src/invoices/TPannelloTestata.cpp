#include "TPannelloTestata.h"

#include "TPannelloIva.h"
#include "data/TDiz.h"
#include "invoices/CalcolaTotali.h"
#include "widgets/Colori.h"
#include "widgets/DBCheckBox.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"
#include "widgets/Modulo.h"
#include "widgets/TAzione.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kRiga1 = 40, kRiga2 = 86, kRiga3 = 132, kRiga4 = 178; // label tops
constexpr int kSlotTop = 226;

QPushButton* pulsante(QWidget* parent, const QString& nome, const QString& testo, int x, int y) {
    return Modulo::pulsante(parent, nome, testo, QRect(x, y, 112, 40),
                            Modulo::carattere(QStringLiteral("Arial"), 15, true));
}

} // namespace

TPannelloTestata::TPannelloTestata(TDiz& diz, QWidget* parent) : QFrame(parent), m_diz(diz) {
    setObjectName(QStringLiteral("P4"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    Modulo::colora(this, QPalette::Window, Colori::Celeste);
    creaIntestazione();
    creaAnagrafica();
    creaPagamento();
    const QStringList n5{QStringLiteral("N1"), QStringLiteral("N2"), QStringLiteral("N3"),
                         QStringLiteral("N4"), QStringLiteral("N5")};
    const QStringList n6 = n5 + QStringList{QStringLiteral("N6")};
    Panel2 = new TPannelloIva(1, n5, m_diz.TestataS, this);
    Panel2->setGeometry(8, kSlotTop, 300, 196);
    Panel4 = new TPannelloIva(2, n6, m_diz.TestataS, this);
    Panel4->setGeometry(316, kSlotTop, 300, 196);
    Panel5 = new TPannelloIva(3, n6, m_diz.TestataS, this);
    Panel5->setGeometry(624, kSlotTop, 300, 196);
    Panel6 = new TPannelloIva(4, n6, m_diz.TestataS, this);
    Panel6->setGeometry(8, kSlotTop + 202, 300, 128);
    creaSconto();
    creaRiferimenti();
    BitBtn13 = pulsante(this, QStringLiteral("BitBtn13"), QStringLiteral("Registra"), 940, 592);
    BitBtn14 = pulsante(this, QStringLiteral("BitBtn14"), QStringLiteral("Annulla"), 1064, 592);
    connect(BitBtn13, &QPushButton::clicked, this, &TPannelloTestata::BitBtn13Click);
    connect(BitBtn14, &QPushButton::clicked, this, &TPannelloTestata::BitBtn14Click);
    impostaOrdineTab();
}

QLabel* TPannelloTestata::etichetta(QWidget* parent, const QString& testo, int x, int y) {
    return Modulo::etichetta(parent, testo, x, y);
}

// A bound edit field with its label above it.
DBEdit* TPannelloTestata::campo(QWidget* parent, const QString& colonna, const QString& titolo,
                                int x, int y, int larghezza) {
    return Modulo::Costruttore(parent, m_diz.TestataS, 16, 22)
        .campo(titolo, colonna, x, y, larghezza);
}

// A bound drop-down list (the user may type another value) with its label above it.
DBComboBox* TPannelloTestata::scelta(QWidget* parent, const QString& colonna, const QString& titolo,
                                     int x, int y, int larghezza, const QStringList& voci) {
    return Modulo::Costruttore(parent, m_diz.TestataS, 16, 22)
        .tendina(titolo, colonna, voci, x, y, larghezza);
}

void TPannelloTestata::creaIntestazione() {
    Modulo::etichetta(this, QStringLiteral("Testata Documento"), 480, 6,
                      Modulo::carattere(QStringLiteral("Arial"), 24, true, true), Colori::Blu);

    DBComboBox1 =
        scelta(this, QStringLiteral("tipo_doc"), QStringLiteral("Tipo Documento"), 8, kRiga1, 90,
               {QStringLiteral("TD01"), QStringLiteral("TD03"), QStringLiteral("TD04"),
                QStringLiteral("TD20")});
    DBEdit1 =
        campo(this, QStringLiteral("data_doc"), QStringLiteral("Data Documento"), 112, kRiga1, 96);
    DBEdit2 = campo(this, QStringLiteral("num_doc"), QStringLiteral("Numero Documento"), 222,
                    kRiga1, 110);
    DBEdit3 =
        campo(this, QStringLiteral("rag_soc"), QStringLiteral("Ragione Sociale"), 366, kRiga1, 430);
    DBEdit3->setCharCase(DBEdit::CharCase::Upper);
    DBCheckBox1 =
        Modulo::Costruttore(this, m_diz.TestataS)
            .casella(QStringLiteral("Inviata"), QStringLiteral("inviata"), QRect(1080, 12, 90, 22));
}

void TPannelloTestata::creaAnagrafica() {
    DBEdit4 = campo(this, QStringLiteral("indirizzo"), QStringLiteral("Indirizzo"), 8, kRiga2, 430);
    DBEdit5 = campo(this, QStringLiteral("comune"), QStringLiteral("Comune"), 452, kRiga2, 300);
    DBEdit6 = campo(this, QStringLiteral("cap"), QStringLiteral("CAP"), 766, kRiga2, 64);
    DBEdit7 = campo(this, QStringLiteral("prov"), QStringLiteral("Prov."), 844, kRiga2, 48);
    DBComboBox4 = scelta(this, QStringLiteral("nazione"), QStringLiteral("Nazione"), 906, kRiga2,
                         70, {QStringLiteral("IT")});
    DBEdit8 = campo(this, QStringLiteral("p_iva"), QStringLiteral("Partita Iva"), 8, kRiga3, 130);
    DBEdit9 =
        campo(this, QStringLiteral("cod_fis"), QStringLiteral("Codice Fiscale"), 152, kRiga3, 170);
    DBEdit10 = campo(this, QStringLiteral("cod_dest"), QStringLiteral("Codice Destinatario"), 336,
                     kRiga3, 120);
    DBEdit11 = campo(this, QStringLiteral("pec"), QStringLiteral("Casella PEC"), 470, kRiga3, 300);
    DBEdit11->setCharCase(DBEdit::CharCase::Lower);
    DBEdit32 =
        campo(this, QStringLiteral("trasporto"), QStringLiteral("Trasportatore"), 784, kRiga3, 220);
    DBEdit32->setCharCase(DBEdit::CharCase::Upper);
}

void TPannelloTestata::creaPagamento() {
    DBComboBox2 = scelta(this, QStringLiteral("tipo_pag"), QStringLiteral("Tipo Pagamento"), 8,
                         kRiga4, 90, {QStringLiteral("TP01"), QStringLiteral("TP02")});
    DBComboBox3 = scelta(this, QStringLiteral("mod_pag"), QStringLiteral("Modalita Pagamento"), 132,
                         kRiga4, 90,
                         {QStringLiteral("MP01"), QStringLiteral("MP02"), QStringLiteral("MP05"),
                          QStringLiteral("MP12")});
    DBEdit12 = campo(this, QStringLiteral("n_rate"), QStringLiteral("N. Rate"), 272, kRiga4, 56);
    DBEdit* scadenze[4];
    for (int i = 0; i < 4; ++i) {
        scadenze[i] =
            campo(this, QStringLiteral("scad%1").arg(i + 1),
                  QStringLiteral("%1° Data Scadenza ").arg(i + 1), 346 + i * 124, kRiga4, 90);
        scadenze[i]->setEditMask(QStringLiteral("!99/99/00;1;_"));
    }
    DBEdit13 = scadenze[0];
    DBEdit14 = scadenze[1];
    DBEdit15 = scadenze[2];
    DBEdit16 = scadenze[3];
}

void TPannelloTestata::creaSconto() {
    Panel3 = Modulo::pannello(this, QStringLiteral("Panel3"), QRect(932, 404, 246, 176),
                              Colori::GrigioScuro, false);
    Modulo::colora(Panel3, QPalette::WindowText, Qt::white);
    DBComboBox5 = scelta(Panel3, QStringLiteral("sc_tipo"), QStringLiteral("Tipo Sconto"), 10, 6,
                         70, {QStringLiteral("SC"), QStringLiteral("MG")});
    DBEdit20 = campo(Panel3, QStringLiteral("sc_perc"), QStringLiteral("Perc."), 124, 6, 70);
    DBEdit21 =
        campo(Panel3, QStringLiteral("sc_importo"), QStringLiteral("Totale Sconto"), 10, 56, 120);
    DBEdit29 =
        campo(Panel3, QStringLiteral("tot_doc"), QStringLiteral("Totale Documento"), 10, 110, 150);
    DBEdit29->setReadOnly(true);
    QFont grande = DBEdit29->font();
    grande.setBold(true);
    DBEdit29->setFont(grande);
}

void TPannelloTestata::creaRiferimenti() {
    etichetta(this, QStringLiteral("Ordine Acquisto - Contratto - Convenzione"), 316,
              kSlotTop + 204);
    DBGrid3 = new DBGrid(this);
    DBGrid3->setObjectName(QStringLiteral("DBGrid3"));
    DBGrid3->setGeometry(316, kSlotTop + 222, 200, 150);
    DBGrid3->setDataSource(m_diz.ContrattoS);
    DBGrid3->addColumn(QStringLiteral("tipo"), QStringLiteral("Tipo"), 150).pickList =
        QStringList{QStringLiteral("DatiOrdineAcquisto"), QStringLiteral("DatiContratto"),
                    QStringLiteral("DatiConvenzione"), QStringLiteral("DatiRicezione"),
                    QStringLiteral("DatiFattureCollegate")};
    DBGrid4 = new DBGrid(this);
    DBGrid4->setObjectName(QStringLiteral("DBGrid4"));
    DBGrid4->setGeometry(524, kSlotTop + 222, 400, 150);
    DBGrid4->setDataSource(m_diz.ContrattoDS);
    DBGrid4->addColumn(QStringLiteral("n_linea"), QStringLiteral("N.Linea"), 57);
    const std::pair<const char*, const char*> colonne[] = {{"id_documento", "Documento"},
                                                           {"data", "Data"},
                                                           {"numero", "Numero"},
                                                           {"cup", "CUP"},
                                                           {"cig", "CIG"},
                                                           {"cod_comm", "Codice Commessa"}};
    for (const auto& [campo, titolo] : colonne)
        DBGrid4->addColumn(QString::fromLatin1(campo), QString::fromLatin1(titolo), 64);

    const QList<DBNavigator::Button> tasti{
        DBNavigator::Button::Insert, DBNavigator::Button::Delete, DBNavigator::Button::Edit,
        DBNavigator::Button::Post,   DBNavigator::Button::Cancel, DBNavigator::Button::Refresh};
    DBNavigator3 = new DBNavigator(this);
    DBNavigator3->setObjectName(QStringLiteral("DBNavigator3"));
    DBNavigator3->setDataSource(m_diz.ContrattoS);
    DBNavigator3->setButtons(tasti);
    DBNavigator3->setGeometry(316, kSlotTop + 378, 200, 28);
    DBNavigator4 = new DBNavigator(this);
    DBNavigator4->setObjectName(QStringLiteral("DBNavigator4"));
    DBNavigator4->setDataSource(m_diz.ContrattoDS);
    DBNavigator4->setButtons(tasti);
    DBNavigator4->setGeometry(524, kSlotTop + 378, 200, 28);
}

// The header fields row by row, slots 1 and 2, the discount, the buttons, the
// references, "Inviata", slots 3 and 4.
void TPannelloTestata::impostaOrdineTab() {
    QList<QWidget*> ordine{DBComboBox1, DBEdit1,  DBEdit2,     DBEdit3,     DBEdit4,  DBEdit5,
                           DBEdit6,     DBEdit7,  DBComboBox4, DBEdit8,     DBEdit9,  DBEdit10,
                           DBEdit11,    DBEdit32, DBComboBox2, DBComboBox3, DBEdit12, DBEdit13,
                           DBEdit14,    DBEdit15, DBEdit16};
    ordine << Panel2->ordineTab() << Panel4->ordineTab();
    ordine << DBComboBox5 << DBEdit20 << DBEdit21 << DBEdit29 << BitBtn13 << BitBtn14;
    ordine << DBGrid3 << DBGrid4 << DBNavigator3 << DBNavigator4 << DBCheckBox1;
    ordine << Panel5->ordineTab() << Panel6->ordineTab();
    for (int i = 1; i < ordine.size(); ++i)
        QWidget::setTabOrder(ordine[i - 1], ordine[i]);
}

// "Registra": the totals are recomputed from the lines (writing the pending
// changes of the header first); the panel closes only when that succeeded.
void TPannelloTestata::BitBtn13Click() {
    if (TAzione::esegui([this] { CalcolaTotali(m_diz.fattura()); })) hide();
}

// "Annulla": references already written through their navigators stay.
void TPannelloTestata::BitBtn14Click() {
    if (m_diz.Testata->isEditing()) m_diz.Testata->cancel();
    hide();
}
