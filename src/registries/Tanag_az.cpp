#include "Tanag_az.h"

#include "data/TDiz.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBNavigator.h"

#include <QLabel>

namespace {

constexpr int kLarghezza = 640;
constexpr int kAltezza = 448;
constexpr int kAltezzaCampo = 21;
constexpr int kSottoEtichetta = 16;   // from a label's top to its field's
const QColor kBlu(0, 0, 128);

QFont carattere(const QString& famiglia, int pixel, bool grassetto = false, bool corsivo = false) {
    QFont f(famiglia);
    f.setPixelSize(pixel);
    f.setBold(grassetto);
    f.setItalic(corsivo);
    return f;
}

} // namespace

Tanag_az::Tanag_az(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("anag_az"));
    setWindowTitle(QStringLiteral("Dati Azienda"));
    setFixedSize(kLarghezza, kAltezza);
    setFont(carattere(QStringLiteral("MS Sans Serif"), 11));
    creaIntestazione();
    creaCampi();
    const QList<QWidget*> ordine = controlli();
    for (int i = 1; i < ordine.size(); ++i)
        setTabOrder(ordine[i - 1], ordine[i]);
}

void Tanag_az::creaIntestazione() {
    Label1 = new QLabel(QStringLiteral("D A T I   A Z I E N D A"), this);
    Label1->setFont(carattere(QStringLiteral("Times New Roman"), 27, true, true));
    QPalette p = Label1->palette();
    p.setColor(QPalette::WindowText, kBlu);
    Label1->setPalette(p);
    Label1->setGeometry(0, 12, kLarghezza, 36);
    Label1->setAlignment(Qt::AlignCenter);
}

// Rows from the top in tab order: name; address; town; tax codes; contacts; business
// register and capital; shareholders and liquidation with the navigator; folder, bank.
void Tanag_az::creaCampi() {
    DBEdit1 = campo(QStringLiteral("Ragione Sociale"), QStringLiteral("rag_soc"), 24, 64, 433);
    DBEdit2 = campo(QStringLiteral("Indirizzo"), QStringLiteral("indirizzo"), 24, 108, 433);
    DBEdit3 = campo(QStringLiteral("CAP"), QStringLiteral("cap"), 472, 108, 57);
    DBEdit4 = campo(QStringLiteral("Comune"), QStringLiteral("comune"), 24, 152, 353);
    DBEdit5 = campo(QStringLiteral("Prov"), QStringLiteral("prov"), 392, 152, 41);
    DBEdit6 = campo(QStringLiteral("Nazione"), QStringLiteral("nazione"), 448, 152, 81);
    DBEdit7 = campo(QStringLiteral("Partita Iva"), QStringLiteral("p_iva"), 24, 196, 105);
    DBEdit8 = campo(QStringLiteral("Codice Fiscale"), QStringLiteral("cod_fis"), 144, 196, 145);
    DBEdit15 = campo(QStringLiteral("E Mail"), QStringLiteral("mail"), 24, 240, 353);
    DBEdit16 = campo(QStringLiteral("Telefono"), QStringLiteral("telefono"), 392, 240, 137);
    DBEdit10 = campo(QStringLiteral("Ufficio REA"), QStringLiteral("uff_rea"), 24, 284, 57);
    DBEdit11 = campo(QStringLiteral("Num. REA"), QStringLiteral("num_rea"), 104, 284, 81);
    DBEdit9 = campo(QStringLiteral("Regime Fiscale"), QStringLiteral("reg_fisc"), 200, 284, 57);
    DBEdit12 = campo(QStringLiteral("Capitale Sociale"), QStringLiteral("capit_soc"), 296, 284, 105);
    DBComboBox2 = tendina(QStringLiteral("Socio Unico"), QStringLiteral("soc_uni"),
                          {QStringLiteral("SU"), QStringLiteral("SM")}, 24, 328);
    DBComboBox1 = tendina(QStringLiteral("Stato in Liquidazione"), QStringLiteral("stato_liq"),
                          {QStringLiteral("LN"), QStringLiteral("LS")}, 144, 328);
    creaNavigatore();
    DBEdit13 = campo(QStringLiteral("Path"), QStringLiteral("path"), 24, 372, 353);
    DBEdit14 = campo(QStringLiteral("Iban"), QStringLiteral("iban"), 392, 372, 209);
}

void Tanag_az::creaNavigatore() {
    using B = DBNavigator::Button;
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setButtons({B::Edit, B::Post, B::Cancel, B::Refresh});
    DBNavigator1->setDataSource(Diz->AziendaS);
    DBNavigator1->setGeometry(392, 328 + kSottoEtichetta - 2, 137, 25);
}

QLabel* Tanag_az::etichetta(const QString& testo, int x, int y) {
    auto* l = new QLabel(testo, this);
    l->move(x, y);
    l->adjustSize();
    return l;
}

DBEdit* Tanag_az::campo(const QString& testo, const QString& colonna, int x, int y, int larghezza) {
    etichetta(testo, x, y)->setObjectName(QStringLiteral("etichetta_") + colonna);
    auto* e = new DBEdit(this);
    e->setObjectName(colonna);
    e->setGeometry(x, y + kSottoEtichetta, larghezza, kAltezzaCampo);
    e->setDataSource(Diz->AziendaS);
    e->setField(colonna);
    return e;
}

DBComboBox* Tanag_az::tendina(const QString& testo, const QString& colonna,
                              const QStringList& voci, int x, int y) {
    etichetta(testo, x, y)->setObjectName(QStringLiteral("etichetta_") + colonna);
    auto* c = new DBComboBox(this);
    c->setObjectName(colonna);
    c->setStyle(DBComboBox::Style::DropDown);
    c->setItems(voci);
    c->setGeometry(x, y + kSottoEtichetta, 65, kAltezzaCampo);
    c->setDataSource(Diz->AziendaS);
    c->setField(colonna);
    return c;
}

QList<QWidget*> Tanag_az::controlli() const {
    return {DBEdit1,  DBEdit2,  DBEdit3,     DBEdit4,     DBEdit5,      DBEdit6,  DBEdit7,
            DBEdit8,  DBEdit15, DBEdit16,    DBEdit10,    DBEdit11,     DBEdit9,  DBEdit12,
            DBComboBox2, DBComboBox1, DBNavigator1, DBEdit13, DBEdit14};
}
