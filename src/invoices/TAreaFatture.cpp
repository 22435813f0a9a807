#include "TAreaFatture.h"

#include "data/TDiz.h"
#include "widgets/Colori.h"
#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"
#include "widgets/MaskEdit.h"
#include "widgets/Modulo.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int kSinistra = 18;
constexpr int kLarghezzaGriglie = 1138;
constexpr int kLarghezza = 1175;
constexpr int kAltezza = 642;
constexpr int kAltoGriglia = 72; // under the search row

// The window's face: Arial, italic unless bold.
QFont arial(int px, bool grassetto = false) {
    return Modulo::carattere(QStringLiteral("Arial"), px, grassetto, !grassetto);
}

// Header grid columns: field, title, width (-1: from the column size), alignment,
// title alignment, pick list.
struct ColonnaTestata {
    const char* campo;
    const char* titolo;
    int larghezza;
    Qt::Alignment allineamento;
    Qt::Alignment allineamentoTitolo;
    QStringList scelte;
};

const Qt::Alignment kSinistro = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment kCentro = Qt::AlignCenter;
const Qt::Alignment kDestro = Qt::AlignRight | Qt::AlignVCenter;

} // namespace

TAreaFatture::TAreaFatture(TDiz& diz, QWidget* parent) : QFrame(parent), m_diz(diz) {
    setObjectName(QStringLiteral("Panel1"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    Modulo::colora(this, QPalette::Window, Colori::Verdeacqua);
    // The starting size, which the anchors of the controls start from.
    resize(kLarghezza, kAltezza);
    creaRigaSuperiore();
    creaRicerca();
    creaGrigliaTestate();
    creaBarraRighe();
    creaGrigliaRighe();
    creaBarraInferiore();
    ancora();
}

// Enlarged, the header grid takes the room; the heading stays in the middle, "Legenda"
// on the right, the lines and the toolbars at the foot.
void TAreaFatture::ancora() {
    Modulo::ancoraSotto(this, DBNavigator2->y(), Modulo::Sinistra | Modulo::Basso);
    Modulo::ancora(findChild<QLabel*>(QStringLiteral("Label1")), Modulo::Alto);
    Modulo::ancora(BitBtn1, Modulo::Alto | Modulo::Destra);
    Modulo::ancora(DBGrid1, Modulo::kTutte);
    Modulo::ancora(DBGrid2, Modulo::Sinistra | Modulo::Destra | Modulo::Basso);
}

void TAreaFatture::creaRicerca() {
    constexpr int y = 44;
    const QFont etichette = arial(14, true);
    Modulo::etichetta(this, QStringLiteral("Cerca"), kSinistra, y + 3, etichette, Qt::white);
    Cerca = new QLineEdit(this);
    Cerca->setObjectName(QStringLiteral("Cerca"));
    Cerca->setPlaceholderText(QStringLiteral("Numero, cliente o partita IVA"));
    Cerca->setGeometry(70, y, 300, 24);
    Cerca->setClearButtonEnabled(true);
    Modulo::etichetta(this, QStringLiteral("Dal"), 386, y + 3, etichette, Qt::white);
    Modulo::etichetta(this, QStringLiteral("Al"), 530, y + 3, etichette, Qt::white);
    const auto campoData = [this](const QString& nome, int x) {
        auto* d = new MaskEdit(this);
        d->setObjectName(nome);
        d->setEditMask(QStringLiteral("!99/99/0000;1;_"));
        d->setGeometry(x, y, 96, 24);
        return d;
    };
    Dal = campoData(QStringLiteral("Dal"), 420);
    Al = campoData(QStringLiteral("Al"), 556);
    Pulisci = pulsante(QStringLiteral("Pulisci"), QStringLiteral("Pulisci"), {668, y - 2, 100, 28});
}

QPushButton* TAreaFatture::pulsante(const QString& nome, const QString& testo,
                                    const QRect& posizione, const QColor& colore) {
    auto* b = Modulo::pulsante(this, nome, testo, posizione, arial(13, true));
    Modulo::colora(b, QPalette::ButtonText, colore);
    return b;
}

void TAreaFatture::creaRigaSuperiore() {
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setDataSource(m_diz.TestataS);
    using B = DBNavigator::Button;
    DBNavigator1->setButtons(
        {B::First, B::Prior, B::Next, B::Last, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh});
    DBNavigator1->setGeometry(kSinistra, 8, 270, 30);
    BitBtn15 = pulsante(QStringLiteral("BitBtn15"), QStringLiteral("Nuova"), {300, 6, 100, 34});
    BitBtn3 =
        pulsante(QStringLiteral("BitBtn3"), QStringLiteral("Sel. Cliente"), {410, 6, 120, 34});
    auto* titolo =
        Modulo::etichetta(this, QStringLiteral("Fattura Elettronica"), 0, 0, arial(24), Qt::white);
    titolo->setObjectName(QStringLiteral("Label1"));
    titolo->move(790 - titolo->width() / 2, 6); // between the buttons
    BitBtn1 = pulsante(QStringLiteral("BitBtn1"), QStringLiteral("Legenda"), {1046, 6, 110, 34});
}

void TAreaFatture::creaGrigliaTestate() {
    const QStringList td{QStringLiteral("TD01"), QStringLiteral("TD04"), QStringLiteral("TD05")};
    const QStringList tp{QStringLiteral("TP01"), QStringLiteral("TP02")};
    const QStringList mp{QStringLiteral("MP01"), QStringLiteral("MP02"), QStringLiteral("MP05"),
                         QStringLiteral("MP12")};
    const ColonnaTestata colonne[] = {
        {"id_invio", "Id. Invio", 59, kSinistro, kSinistro, {}},
        {"prot", "Prot.", 54, kSinistro, kSinistro, {}},
        {"tipo_doc", "Tipo Doc.", -1, kCentro, kSinistro, td},
        {"data_doc", "Data Doc.", 64, kCentro, kCentro, {}},
        {"num_doc", "N. Doc", 64, kDestro, kCentro, {}},
        {"tot_doc", "Totale", 67, kDestro, kCentro, {}},
        {"tipo_pag", "Tipo Pag.", 70, kCentro, kSinistro, tp},
        {"mod_pag", "Mod. Pag.", 64, kCentro, kSinistro, mp},
        {"rag_soc", "Ragione Sociale", 64, kSinistro, kSinistro, {}},
        {"trasporto", "Trasportatore", 64, kSinistro, kSinistro, {}},
        {"indirizzo", "Indirizzo", 64, kSinistro, kSinistro, {}},
        {"cap", "CAP", 64, kSinistro, kSinistro, {}},
        {"comune", "Comune", 64, kSinistro, kSinistro, {}},
        {"prov", "Prov", 64, kSinistro, kSinistro, {}},
        {"nazione", "Nazione", 64, kSinistro, kSinistro, {}},
        {"p_iva", "Partita Iva", 64, kSinistro, kSinistro, {}},
        {"cod_fis", "Codice Fiscale", 93, kSinistro, kSinistro, {}},
        {"cod_dest", "Cod. Destin.", 64, kSinistro, kSinistro, {}},
        {"pec", "Casella PEC", 64, kSinistro, kSinistro, {}},
        {"dest_soc", "Destinazione", 90, kSinistro, kSinistro, {}},
        {"dest_indir", "Indirizzo Dest.", 110, kSinistro, kSinistro, {}},
        {"dest_cap", "CAP Dest.", 70, kSinistro, kSinistro, {}},
        {"dest_comune", "Comune Dest.", 100, kSinistro, kSinistro, {}},
    };
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(kSinistra, kAltoGriglia, kLarghezzaGriglie, 304 - kAltoGriglia);
    DBGrid1->setFont(arial(15));
    DBGrid1->setCellColor(Colori::Marrone);
    DBGrid1->setTitleFont(arial(16));
    DBGrid1->setTitleColor(Qt::black);
    DBGrid1->setDataSource(m_diz.TestataS);
    for (const ColonnaTestata& c : colonne) {
        DBGridColumn& col =
            DBGrid1->addColumn(QString::fromLatin1(c.campo), QString::fromLatin1(c.titolo),
                               c.larghezza, c.allineamento);
        col.titleAlignment = c.allineamentoTitolo;
        col.pickList = c.scelte;
        // The key never changes once written: the invoice's lines refer to it.
        col.readOnly = qstrcmp(c.campo, "id_invio") == 0;
    }
    // A date shows whole (day of two digits, four-digit year).
    DBGrid1->fitText(3, QStringLiteral("00/00/0000"));
    DBGrid1->setCellPainter(
        [this](QPainter* p, const QRect& rect, int row, const DBGridColumn& column) {
            DBGrid1DrawColumnCell(p, rect, row, column);
        });
    // A refresh that brings in rows changed elsewhere repaints the colouring too.
    connect(m_diz.TestataS, &DataSource::dataSetChanged, DBGrid1->viewport(),
            qOverload<>(&QWidget::update));
}

void TAreaFatture::creaBarraRighe() {
    DBNavigator2 = new DBNavigator(this);
    DBNavigator2->setObjectName(QStringLiteral("DBNavigator2"));
    DBNavigator2->setDataSource(m_diz.DettaS);
    using B = DBNavigator::Button;
    DBNavigator2->setButtons(
        {B::First, B::Prior, B::Next, B::Last, B::Edit, B::Post, B::Cancel, B::Refresh});
    DBNavigator2->setGeometry(kSinistra, 318, 240, 30);
    BitBtn6 = pulsante(QStringLiteral("BitBtn6"), QStringLiteral("Articoli Magazzino"),
                       {270, 316, 160, 34}, Colori::Blu);
    BitBtn7 = pulsante(QStringLiteral("BitBtn7"), QStringLiteral("Ins. Riga"), {440, 316, 120, 34},
                       Colori::Verde);
    BitBtn10 = pulsante(QStringLiteral("BitBtn10"), QStringLiteral("Mod. Riga"),
                        {570, 316, 120, 34}, Colori::Marrone);
    BitBtn12 = pulsante(QStringLiteral("BitBtn12"), QStringLiteral("Elimina Riga"),
                        {700, 316, 120, 34}, Colori::Rosso);
    BitBtn11 = pulsante(QStringLiteral("BitBtn11"), QStringLiteral("Testata Doc."),
                        {830, 316, 130, 34}, Colori::Oliva);
}

void TAreaFatture::creaGrigliaRighe() {
    DBGrid2 = new DBGrid(this);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setGeometry(kSinistra, 354, kLarghezzaGriglie, 238);
    DBGrid2->setFont(arial(15));
    DBGrid2->setCellColor(Colori::Blu);
    DBGrid2->setTitleFont(arial(15));
    DBGrid2->setTitleColor(Colori::Marrone);
    DBGrid2->setReadOnly(true);
    DBGrid2->setRowSelect(true);
    DBGrid2->setAlwaysShowSelection(true);
    DBGrid2->setDataSource(m_diz.DettaS);
    const std::tuple<const char*, const char*, int, Qt::Alignment> colonne[] = {
        {"prog", "Prog", 38, kSinistro},
        {"descrizione", "Descrizione", 515, kSinistro},
        {"um", "UM", 36, kCentro},
        {"quantita", "Quantita", 68, kDestro},
        {"prezzo_unit", "Prezzo Unit.", 89, kDestro},
        {"prezzo_tot", "Imp. Totale", 93, kDestro},
        {"aliquota", "Aliquota", -1, kCentro},
        {"natura", "Natura", 64, kSinistro},
        {"tipo_cessione", "Premio/Abb", 64, kSinistro},
        {"sc_tipo", "Tipo Sc.", 64, kCentro},
        {"sc_perc", "Perc. Sc.", 64, kDestro},
        {"sc_importo", "Importo Sc.", 84, kDestro},
        {"codice_tipo", "Tipo Cod.", 64, kSinistro},
        {"codice_val", "Valore Cod.", 64, kSinistro},
    };
    for (const auto& [campo, titolo, larghezza, allineamento] : colonne)
        DBGrid2->addColumn(QString::fromLatin1(campo), QString::fromLatin1(titolo), larghezza,
                           allineamento);
}

void TAreaFatture::creaBarraInferiore() {
    constexpr int y = 598, h = 36;
    BitBtn4 = pulsante(QStringLiteral("BitBtn4"), QStringLiteral("Creazione File XML"),
                       {kSinistra, y, 156, h});
    BitBtn5 = pulsante(QStringLiteral("BitBtn5"), QStringLiteral("Invio a SDI"), {182, y, 110, h});
    BitBtn20 = pulsante(QStringLiteral("BitBtn20"), QStringLiteral("XML P.A."), {300, y, 100, h});
    BitBtn21 = pulsante(QStringLiteral("BitBtn21"), QStringLiteral("Invio P.A."), {408, y, 100, h});
    BitBtn18 =
        pulsante(QStringLiteral("BitBtn18"), QStringLiteral("Importa Fatture"), {516, y, 136, h});
    M1 = new MaskEdit(this);
    M1->setObjectName(QStringLiteral("M1"));
    M1->setEditMask(QStringLiteral("!99/99/00;1;_"));
    M1->setFont(arial(15, true));
    M1->setGeometry(660, y + 4, 86, 28);
    BitBtn19 = pulsante(QStringLiteral("BitBtn19"), QStringLiteral("Invio Fatture al SDI"),
                        {754, y, 164, h});
    BitBtn16 =
        pulsante(QStringLiteral("BitBtn16"), QStringLiteral("Elimina Fattura"), {926, y, 128, h});
    BitBtn17 = pulsante(QStringLiteral("BitBtn17"), QStringLiteral("Stampa"), {1062, y, 94, h});
    BitBtn22 = pulsante(QStringLiteral("BitBtn22"), QStringLiteral("Copia Fattura"),
                        {1036, y + h + 4, 120, 30});
}

void TAreaFatture::DBGrid1DrawColumnCell(QPainter* p, const QRect& rect, int row,
                                         const DBGridColumn& column) {
    Table* t = m_diz.Testata;
    if (!t->value(row, t->fieldIndex(QStringLiteral("inviata"))).toBool()) return;
    p->save();
    p->fillRect(rect, Colori::Rosso);
    p->setPen(Qt::white);
    p->setFont(DBGrid1->font());
    const QRect testo = rect.adjusted(2, 2, 0, 0);
    p->drawText(testo, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                DBGrid1->cellText(row, column));
    p->restore();
}
