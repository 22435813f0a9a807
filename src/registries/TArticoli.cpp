#include "registries/TArticoli.h"

#include "data/TDiz.h"
#include "platform/Desktop.h"
#include "registries/Magazzino.h"
#include "registries/Ricerca.h"
#include "widgets/Colori.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"
#include "widgets/EnterAsTab.h"
#include "widgets/Modulo.h"
#include "widgets/TAzione.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {

constexpr int kLarghezza = 1000;
constexpr int kAltezza = 600;
const QString kMascheraPrezzo = QStringLiteral("##,###0.000");
const QString kMascheraPercentuale = QStringLiteral("##,###0.00");

// The fields above the two price sections, in tab order.
constexpr Modulo::Campo kCampi[] = {
    {"DESCRIZIONE", "descrizione", 16, 376, 473},
    {"Esistenza", "esistenza", 504, 376, 81},
    {"U.M.", "um", 600, 376, 49},
    {"Aliquota", "aliquota", 664, 376, 49},
    {"Codice Tipo", "codice_tipo", 16, 420, 233},
    {"Codice Valore", "codice_val", 264, 420, 233},
};

bool dentro(QWidget* contenitore, QWidget* w) {
    return w && (w == contenitore || contenitore->isAncestorOf(w));
}

} // namespace

TArticoli::TArticoli(TDiz& diz, QWidget* parent) : QDialog(parent), m_diz(diz) {
    setObjectName(QStringLiteral("Articoli"));
    setWindowTitle(QStringLiteral("Articoli Magazzino"));
    Modulo::dimensioni(this, kLarghezza, kAltezza);
    setFont(Modulo::carattere(QStringLiteral("MS Sans Serif"), 11));
    creaControlli();
    // Enlarged, the list of articles takes the room; the fields stay under it.
    Modulo::ancoraSotto(this, DBGrid3->geometry().bottom(), Modulo::Sinistra | Modulo::Basso);
    Modulo::ancora(Label1, Modulo::Sinistra | Modulo::Destra | Modulo::Alto);
    Modulo::ancora(DBGrid3, Modulo::kTutte);
    Modulo::ordineTab(controlli());
    connect(Edit1, &QLineEdit::textChanged, this, &TArticoli::Edit1Change);
    connect(Edit2, &QLineEdit::textChanged, this, &TArticoli::Edit2Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TArticoli::BitBtn1Click);
    DBGrid3->viewport()->installEventFilter(this);
    m_uscite = {
        {DBEdit4, [this] { DBEdit4Exit(); }},         {DBEdit6, [this] { DBEdit6Exit(); }},
        {DBComboBox1, [this] { DBComboBox1Exit(); }}, {DBEdit9, [this] { DBEdit9Exit(); }},
        {DBEdit11, [this] { DBEdit11Exit(); }},       {DBComboBox2, [this] { DBComboBox2Exit(); }}};
    connect(qApp, &QApplication::focusChanged, this, &TArticoli::fuocoCambiato);
    EnterAsTab::install(this);
}

TArticoli::~TArticoli() {
    // The controls going away move the focus: no leave handler may run on them.
    disconnect(qApp, nullptr, this, nullptr);
}

void TArticoli::creaControlli() {
    Label1 = new QLabel(QStringLiteral("ARTICOLI MAGAZZINO"), this);
    Label1->setFont(Modulo::carattere(QStringLiteral("Times New Roman"), 27, true, true));
    Modulo::colora(Label1, QPalette::WindowText, Colori::Blu);
    Label1->setGeometry(0, 12, kLarghezza, 36);
    Label1->setAlignment(Qt::AlignCenter);

    Modulo::etichetta(this, QStringLiteral("Codice"), 16, 56);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(16, 72, 246, 21);
    Modulo::etichetta(this, QStringLiteral("Descrizione"), 264, 56);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(264, 72, 356, 21);

    DBGrid3 = new DBGrid(this);
    DBGrid3->setObjectName(QStringLiteral("DBGrid3"));
    DBGrid3->setGeometry(16, 100, 968, 260);
    DBGrid3->setDataSource(m_diz.ArticoliS);
    DBGrid3->setReadOnly(true);
    DBGrid3->setRowSelect(true);
    DBGrid3->addColumn(QStringLiteral("codice_val"), QStringLiteral("Codice"), 246);
    DBGrid3->addColumn(QStringLiteral("descrizione"), QStringLiteral("Descrizione"), 356);
    DBGrid3->addColumn(QStringLiteral("um"), QStringLiteral("UM"), 33);
    DBGrid3->addColumn(QStringLiteral("prezzo_tot"), QStringLiteral("Prezzo Netto"));

    Modulo::Costruttore m(this, m_diz.ArticoliS);
    DBEdit1 = m.campo(kCampi[0]);
    DBEdit2 = m.campo(kCampi[1]);
    DBEdit3 = m.campo(kCampi[2]);
    DBEdit16 = m.campo(kCampi[3]);
    DBEdit14 = m.campo(kCampi[4]);
    DBEdit15 = m.campo(kCampi[5]);
    for (DBEdit* e : {DBEdit1, DBEdit14, DBEdit15})
        e->setCharCase(DBEdit::CharCase::Upper);

    const QFont sezione = Modulo::carattere(QStringLiteral("MS Sans Serif"), 13, true);
    const QStringList tipi{QStringLiteral("SC"), QStringLiteral("MG")};
    using S = DBComboBox::Style;
    // The two price sections side by side: gross price, discount kind, percentage,
    // discount amount and net price.
    const auto prezzi = [&](int x, const QString& titolo, const char* lordo, const char* tipo,
                            const char* perc, const char* sconto, const char* netto) {
        Modulo::etichetta(this, titolo, x, 464, sezione, Colori::Blu);
        struct Sezione {
            DBEdit* lordo;
            DBComboBox* tipo;
            DBEdit* perc;
            DBEdit* sconto;
            DBEdit* netto;
        } s;
        s.lordo = m.campo(QStringLiteral("Pr. Lordo "), QString::fromLatin1(lordo), x, 488, 97);
        s.tipo = m.tendina(QStringLiteral("Tipo Sc."), QString::fromLatin1(tipo), tipi, x + 112,
                           488, 57, S::DropDownList);
        s.perc = m.campo(QStringLiteral("Sc.Perc."), QString::fromLatin1(perc), x + 184, 488, 57);
        s.sconto =
            m.campo(QStringLiteral("Tot. Sconto "), QString::fromLatin1(sconto), x + 256, 488, 97);
        s.netto =
            m.campo(QStringLiteral("Pr. Netto"), QString::fromLatin1(netto), x + 368, 488, 97);
        s.sconto->setReadOnly(true);
        s.netto->setReadOnly(true);
        return s;
    };
    const auto vendita = prezzi(16, QStringLiteral("VENDITA"), "prezzo_unit", "sc_tipo", "sc_perc",
                                "sc_importo", "prezzo_tot");
    DBEdit4 = vendita.lordo;
    DBComboBox1 = vendita.tipo;
    DBEdit6 = vendita.perc;
    DBEdit7 = vendita.sconto;
    DBEdit8 = vendita.netto;
    const auto acquisto = prezzi(504, QStringLiteral("ACQUISTO"), "costo_unit", "sc_costo_tipo",
                                 "sc_costo_perc", "sc_costo_importo", "costo_tot");
    DBEdit9 = acquisto.lordo;
    DBComboBox2 = acquisto.tipo;
    DBEdit11 = acquisto.perc;
    DBEdit12 = acquisto.sconto;
    DBEdit13 = acquisto.netto;

    using B = DBNavigator::Button;
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setButtons({B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh});
    DBNavigator1->setDataSource(m_diz.ArticoliS);
    DBNavigator1->setGeometry(16, 552, 125, 25);
    BitBtn1 = Modulo::pulsante(this, QStringLiteral("BitBtn1"), QStringLiteral("Nuovo"),
                               {160, 550, 105, 29}, font());
}

QList<QWidget*> TArticoli::controlli() const {
    return {DBGrid3,     Edit1,    DBEdit1,     DBEdit2,  DBEdit3,      DBEdit16, DBEdit14,
            DBEdit15,    DBEdit4,  DBComboBox1, DBEdit6,  DBEdit7,      DBEdit8,  DBEdit9,
            DBComboBox2, DBEdit11, DBEdit12,    DBEdit13, DBNavigator1, BitBtn1,  Edit2};
}

void TArticoli::scegliPer(QWidget* fatture, std::function<QStringList()> scelta) {
    m_fatture = fatture;
    m_scelta = std::move(scelta);
    exec();
}

void TArticoli::cerca(const QString& colonna, const QString& testo) {
    TAzione::esegui(
        [&] { cercaNelRegistro(*m_diz.Articoli, QStringLiteral("magazzino"), colonna, testo); });
}

void TArticoli::Edit1Change() {
    cerca(QStringLiteral("codice_val"), Edit1->text());
}

void TArticoli::Edit2Change() {
    cerca(QStringLiteral("descrizione"), Edit2->text());
}

void TArticoli::BitBtn1Click() {
    if (TAzione::esegui([this] { nuovoArticolo(*m_diz.Articoli); })) DBEdit1->setFocus();
}

// Leaving a price field of either section: the article goes into editing, the field
// left is reformatted (or gets its fallback) and the section's prices are computed.
void TArticoli::esci(const QString& colonna, const QString& maschera, const QString& ripiego,
                     bool vendita) {
    Table& t = *m_diz.Articoli;
    if (!t.isOpen() || (!t.isEditing() && t.recNo() < 0)) return;
    TAzione::esegui([&] {
        if (!t.isEditing()) t.edit();
        if (!colonna.isEmpty()) riformattaImporto(t, colonna, maschera, ripiego);
        if (vendita)
            CalcolaPrezzoVendita(t);
        else
            CalcolaPrezzoAcquisto(t);
    });
}

void TArticoli::DBEdit4Exit() {
    esci(QStringLiteral("prezzo_unit"), kMascheraPrezzo, QStringLiteral("0,000"), true);
}

void TArticoli::DBEdit6Exit() {
    esci(QStringLiteral("sc_perc"), kMascheraPercentuale, QString(), true);
}

void TArticoli::DBComboBox1Exit() {
    esci(QString(), QString(), QString(), true);
}

void TArticoli::DBEdit9Exit() {
    esci(QStringLiteral("costo_unit"), kMascheraPrezzo, QStringLiteral("0,000"), false);
}

void TArticoli::DBEdit11Exit() {
    esci(QStringLiteral("sc_costo_perc"), kMascheraPercentuale, QStringLiteral("0,00"), false);
}

void TArticoli::DBComboBox2Exit() {
    esci(QString(), QString(), QString(), false);
}

void TArticoli::fuocoCambiato(QWidget* vecchio, QWidget* nuovo) {
    if (!vecchio || !isVisible() || (nuovo && nuovo->window() != this)) return;
    for (const auto& [campo, uscita] : m_uscite)
        if (dentro(campo, vecchio) && !dentro(campo, nuovo)) uscita();
}

bool TArticoli::DBGrid3DblClick() {
    if (!m_fatture || !m_fatture->isVisible() || !m_scelta || m_diz.Articoli->recNo() < 0)
        return false;
    QStringList avvisi;
    if (!TAzione::esegui([&] { avvisi = m_scelta(); })) return true;
    if (!avvisi.isEmpty()) Desktop::corrente().messaggio(avvisi.join(QLatin1Char('\n')));
    Edit1->clear();
    Edit2->clear();
    close();
    return true;
}

bool TArticoli::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid3->viewport() && event->type() == QEvent::MouseButtonDblClick)
        return DBGrid3DblClick();
    return QDialog::eventFilter(watched, event);
}

void TArticoli::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TArticoli::FormShow() {
    Edit1->clear();
    Edit2->clear();
    Edit1->setFocus();
}

bool TArticoli::FormClose() {
    Table& t = *m_diz.Articoli;
    return !t.isEditing() || TAzione::esegui([&t] { t.post(); });
}

void TArticoli::done(int r) {
    if (FormClose()) QDialog::done(r);
}
