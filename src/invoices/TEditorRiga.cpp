#include "TEditorRiga.h"

#include "data/TDiz.h"
#include "db/FatturaInviata.h"
#include "platform/Desktop.h"
#include "widgets/Colori.h"
#include "widgets/DBEdit.h"
#include "widgets/Modulo.h"
#include "widgets/TAzione.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kRiga2 = 54, kRiga3 = 114; // label tops of the second and third row

QFont arial(int px, bool grassetto) {
    return Modulo::carattere(QStringLiteral("Arial"), px, grassetto);
}

// The text of the selected item; typed text counts only when it is one of the items.
QString voce(const QComboBox* cb) {
    const int i = cb->findText(cb->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    return i >= 0 ? cb->itemText(i) : QString();
}

bool dentro(const QWidget* campo, const QWidget* w) {
    return w && (w == campo || campo->isAncestorOf(w));
}

} // namespace

TEditorRiga::TEditorRiga(TDiz& diz, QWidget* parent) : QFrame(parent), m_diz(diz) {
    setObjectName(QStringLiteral("P3"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    Modulo::colora(this, QPalette::Window, Colori::Grigio);
    setFont(arial(13, false));

    Modulo::etichetta(this, QStringLiteral("DESCRIZIONE"), 10, 14, arial(14, true),
                      palette().color(QPalette::WindowText));
    Edit1 = campo(QStringLiteral("Edit1"), QString(), 124, 10, 1032, 100);
    Edit1->setGeometry(124, 10, 1032, 28);

    Edit2 = campo(QStringLiteral("Edit2"), QStringLiteral("Quantita"), 10, kRiga2, 100, 100);
    Edit3 = campo(QStringLiteral("Edit3"), QStringLiteral("U.M."), 124, kRiga2, 60, 4);
    Edit4 = campo(QStringLiteral("Edit4"), QStringLiteral("Aliquota"), 198, kRiga2, 60, 4);
    Edit5 = campo(QStringLiteral("Edit5"), QStringLiteral("Codice Tipo"), 272, kRiga2, 260, 35);
    Edit6 = campo(QStringLiteral("Edit6"), QStringLiteral("Codice Valore"), 546, kRiga2, 260, 35);

    Edit7 = campo(QStringLiteral("Edit7"), QStringLiteral("Pr. Lordo "), 10, kRiga3, 110, 12);
    cb1 = scelta(QStringLiteral("cb1"), QStringLiteral("Tipo Sc."), 134, kRiga3,
                 {QStringLiteral("SC"), QStringLiteral("MG")});
    Edit8 = campo(QStringLiteral("Edit8"), QStringLiteral("Sc.Perc."), 220, kRiga3, 70, 6);
    Edit9 = campo(QStringLiteral("Edit9"), QStringLiteral("Tot. Sconto "), 304, kRiga3, 100, 12);
    Edit9->setReadOnly(true);
    Edit10 = campo(QStringLiteral("Edit10"), QStringLiteral("Prezzo Totale"), 418, kRiga3, 120, 12);
    Edit10->setReadOnly(true);
    cb2 = scelta(
        QStringLiteral("cb2"), QStringLiteral("Premio/Abbuono"), 552, kRiga3,
        {QStringLiteral("SC"), QStringLiteral("PR"), QStringLiteral("AB"), QStringLiteral("AC")});
    cb3 = scelta(QStringLiteral("cb3"), QStringLiteral("Ritenuta"), 666, kRiga3,
                 {QString(), QStringLiteral("SI")});
    CB4 = scelta(QStringLiteral("CB4"), QStringLiteral("Natura"), 752, kRiga3,
                 {QStringLiteral("N1"), QStringLiteral("N2"), QStringLiteral("N3"),
                  QStringLiteral("N4"), QStringLiteral("N5"), QStringLiteral("N6")});
    Edit11 = campo(QStringLiteral("Edit11"), QStringLiteral("Rif. Amministrativo"), 838, kRiga3,
                   200, 20);

    DBEdit39 = new DBEdit(this);
    DBEdit39->setObjectName(QStringLiteral("DBEdit39"));
    DBEdit39->setGeometry(752, kRiga3 + 48, 50, 24);
    DBEdit39->setDataSource(m_diz.DettaS);
    DBEdit39->setField(QStringLiteral("natura"));

    BitBtn8 = Modulo::pulsante(this, QStringLiteral("BitBtn8"), QStringLiteral("Registra"),
                               QRect(920, 238, 112, 40), arial(15, true));
    BitBtn9 = Modulo::pulsante(this, QStringLiteral("BitBtn9"), QStringLiteral("Annulla"),
                               QRect(1044, 238, 112, 40), arial(15, true));
    connect(BitBtn8, &QPushButton::clicked, this, &TEditorRiga::BitBtn8Click);
    connect(BitBtn9, &QPushButton::clicked, this, &TEditorRiga::BitBtn9Click);

    m_uscite = {{Edit2, [this] { Edit2Exit(); }}, {Edit7, [this] { Edit7Exit(); }},
                {Edit8, [this] { Edit8Exit(); }}, {cb1, [this] { cb1Exit(); }},
                {cb2, [this] { cb1Exit(); }},     {cb3, [this] { cb1Exit(); }},
                {CB4, [this] { cb1Exit(); }}};
    connect(qApp, &QApplication::focusChanged, this, &TEditorRiga::fuocoCambiato);

    Modulo::ordineTab({Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, cb1, Edit8, Edit9, Edit10,
                       cb2, cb3, CB4, Edit11, DBEdit39, BitBtn8, BitBtn9});
}

// An edit field with its label above it; lunghezza is the most characters the user may
// type. A longer text loaded from the line stays whole, so "Registra" writes it unchanged.
QLineEdit* TEditorRiga::campo(const QString& nome, const QString& titolo, int x, int y,
                              int larghezza, int lunghezza) {
    if (!titolo.isEmpty()) {
        auto* l = new QLabel(titolo, this);
        l->setGeometry(x, y, larghezza + 10, 18);
    }
    auto* e = new QLineEdit(this);
    e->setObjectName(nome);
    Modulo::limitaDigitazione(e, lunghezza);
    e->setGeometry(x, y + 20, larghezza, 26);
    return e;
}

// A combo box with its label above it: the user may type, but only a text that
// is one of the items counts.
QComboBox* TEditorRiga::scelta(const QString& nome, const QString& titolo, int x, int y,
                               const QStringList& voci) {
    auto* l = new QLabel(titolo, this);
    l->setGeometry(x, y, 110, 18);
    auto* cb = new QComboBox(this);
    cb->setObjectName(nome);
    cb->setEditable(true);
    cb->setInsertPolicy(QComboBox::NoInsert);
    cb->addItems(voci);
    cb->setCurrentIndex(-1);
    cb->lineEdit()->setMaxLength(2);
    cb->setGeometry(x, y + 20, 72, 26);
    return cb;
}

CampiRiga TEditorRiga::campi() const {
    CampiRiga c;
    c.descrizione = Edit1->text();
    c.quantita = Edit2->text();
    c.um = Edit3->text();
    c.aliquota = Edit4->text();
    c.codiceTipo = Edit5->text();
    c.codiceVal = Edit6->text();
    c.prezzoUnit = Edit7->text();
    c.scTipo = voce(cb1);
    c.scPerc = Edit8->text();
    c.scImporto = Edit9->text();
    c.prezzoTot = Edit10->text();
    c.tipoCessione = voce(cb2);
    c.ritenuta = voce(cb3);
    c.natura = voce(CB4);
    c.rifAmm = Edit11->text();
    return c;
}

// Shows the edit fields' texts; the combo boxes keep their selection.
void TEditorRiga::mostra(const CampiRiga& c) {
    const std::pair<QLineEdit*, const QString*> campi[] = {
        {Edit1, &c.descrizione}, {Edit2, &c.quantita},   {Edit3, &c.um},
        {Edit4, &c.aliquota},    {Edit5, &c.codiceTipo}, {Edit6, &c.codiceVal},
        {Edit7, &c.prezzoUnit},  {Edit8, &c.scPerc},     {Edit9, &c.scImporto},
        {Edit10, &c.prezzoTot},  {Edit11, &c.rifAmm}};
    for (const auto& [edit, testo] : campi)
        if (edit->text() != *testo) edit->setText(*testo);
}

// A leave handler: the fields as the operation left them, also when its
// computation failed and showed "Errore".
void TEditorRiga::esci(void (*operazione)(CampiRiga&)) {
    CampiRiga c = campi();
    TAzione::esegui([&] { operazione(c); });
    mostra(c);
}

void TEditorRiga::Edit2Exit() {
    esci(&OperazioniRiga::esciQuantita);
}
void TEditorRiga::Edit7Exit() {
    esci(&OperazioniRiga::esciPrezzoUnit);
}
void TEditorRiga::Edit8Exit() {
    esci(&OperazioniRiga::esciScPerc);
}
void TEditorRiga::cb1Exit() {
    esci(&OperazioniRiga::esciScelta);
}

// Focus moving from a field with a leave handler to another control of the
// window; focus leaving the window (a message box, another application) is no leave.
void TEditorRiga::fuocoCambiato(QWidget* vecchio, QWidget* nuovo) {
    if (!vecchio || !nuovo || nuovo->window() != window() || !isVisible()) return;
    for (const auto& [campo, uscita] : m_uscite)
        if (dentro(campo, vecchio) && !dentro(campo, nuovo)) uscita();
}

void TEditorRiga::BitBtn7Click() {
    CampiRiga c = campi();
    if (!TAzione::esegui([&] { OperazioniRiga::insRiga(*m_diz.Testata, c); })) return;
    m_modo = ModoRiga::Nuova;
    show();
    Edit1->setFocus();
    mostra(c);
}

void TEditorRiga::BitBtn10Click() {
    CampiRiga c = campi();
    if (!TAzione::esegui([&] { OperazioniRiga::modRiga(*m_diz.Testata, *m_diz.Detta, c); })) return;
    m_modo = ModoRiga::Corrente;
    show();
    mostra(c);
    cb1->setCurrentIndex(cb1->findText(c.scTipo, Qt::MatchExactly | Qt::MatchCaseSensitive));
    Edit1->setFocus();
}

// A sent invoice is refused before the question.
void TEditorRiga::BitBtn12Click() {
    if (!TAzione::esegui([this] { vietaSeInviata(*m_diz.Testata); })) return;
    if (!Desktop::corrente().conferma(OperazioniRiga::domandaElimina())) return;
    TAzione::esegui([this] { OperazioniRiga::eliminaRiga(*m_diz.Testata, *m_diz.Detta); });
}

void TEditorRiga::BitBtn8Click() {
    const CampiRiga c = campi();
    if (TAzione::esegui([&] { OperazioniRiga::registra(*m_diz.Testata, *m_diz.Detta, m_modo, c); }))
        hide();
}

void TEditorRiga::BitBtn9Click() {
    hide();
}
