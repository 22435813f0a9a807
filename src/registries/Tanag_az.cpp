#include "Tanag_az.h"

#include "data/TDiz.h"
#include "widgets/Colori.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBNavigator.h"
#include "widgets/Modulo.h"

#include <QLabel>

namespace {

constexpr int kLarghezza = 640;
constexpr int kAltezza = 448;

// Rows from the top in tab order: name; address; town; tax codes; contacts; business
// register and capital; (shareholders and liquidation with the navigator); folder, bank.
constexpr Modulo::Campo kCampiSopra[] = {
    {"Ragione Sociale", "rag_soc", 24, 64, 433},
    {"Indirizzo", "indirizzo", 24, 108, 433},
    {"CAP", "cap", 472, 108, 57},
    {"Comune", "comune", 24, 152, 353},
    {"Prov", "prov", 392, 152, 41},
    {"Nazione", "nazione", 448, 152, 81},
    {"Partita Iva", "p_iva", 24, 196, 105},
    {"Codice Fiscale", "cod_fis", 144, 196, 145},
    {"E Mail", "mail", 24, 240, 353},
    {"Telefono", "telefono", 392, 240, 137},
    {"Ufficio REA", "uff_rea", 24, 284, 57},
    {"Num. REA", "num_rea", 104, 284, 81},
    {"Regime Fiscale", "reg_fisc", 200, 284, 57},
    {"Capitale Sociale", "capit_soc", 296, 284, 105},
};
constexpr Modulo::Campo kCampiSotto[] = {
    {"Path", "path", 24, 372, 353},
    {"Iban", "iban", 392, 372, 209},
};

} // namespace

Tanag_az::Tanag_az(TDiz& diz, QWidget* parent) : FinestraModale(parent), m_diz(diz) {
    setObjectName(QStringLiteral("anag_az"));
    setWindowTitle(QStringLiteral("Dati Azienda"));
    Modulo::dimensioni(this, kLarghezza, kAltezza);
    setFont(Modulo::carattere(QStringLiteral("MS Sans Serif"), 11));
    creaIntestazione();
    creaCampi();
    Modulo::ordineTab(controlli());
}

void Tanag_az::creaIntestazione() {
    Label1 = new QLabel(QStringLiteral("D A T I   A Z I E N D A"), this);
    Label1->setFont(Modulo::carattere(QStringLiteral("Times New Roman"), 27, true, true));
    Modulo::colora(Label1, QPalette::WindowText, Colori::Blu);
    Label1->setGeometry(0, 12, kLarghezza, 36);
    Label1->setAlignment(Qt::AlignCenter);
}

void Tanag_az::creaCampi() {
    Modulo::Costruttore m(this, m_diz.AziendaS);
    DBEdit* const sopra[] = {
        m.campo(kCampiSopra[0]),  m.campo(kCampiSopra[1]),  m.campo(kCampiSopra[2]),
        m.campo(kCampiSopra[3]),  m.campo(kCampiSopra[4]),  m.campo(kCampiSopra[5]),
        m.campo(kCampiSopra[6]),  m.campo(kCampiSopra[7]),  m.campo(kCampiSopra[8]),
        m.campo(kCampiSopra[9]),  m.campo(kCampiSopra[10]), m.campo(kCampiSopra[11]),
        m.campo(kCampiSopra[12]), m.campo(kCampiSopra[13])};
    DBEdit1 = sopra[0];
    DBEdit2 = sopra[1];
    DBEdit3 = sopra[2];
    DBEdit4 = sopra[3];
    DBEdit5 = sopra[4];
    DBEdit6 = sopra[5];
    DBEdit7 = sopra[6];
    DBEdit8 = sopra[7];
    DBEdit15 = sopra[8];
    DBEdit16 = sopra[9];
    DBEdit10 = sopra[10];
    DBEdit11 = sopra[11];
    DBEdit9 = sopra[12];
    DBEdit12 = sopra[13];
    const QStringList socio{QStringLiteral("SU"), QStringLiteral("SM")};
    const QStringList liquidazione{QStringLiteral("LN"), QStringLiteral("LS")};
    DBComboBox2 =
        m.tendina(QStringLiteral("Socio Unico"), QStringLiteral("soc_uni"), socio, 24, 328, 65);
    DBComboBox1 = m.tendina(QStringLiteral("Stato in Liquidazione"), QStringLiteral("stato_liq"),
                            liquidazione, 144, 328, 65);
    creaNavigatore();
    DBEdit13 = m.campo(kCampiSotto[0]);
    DBEdit14 = m.campo(kCampiSotto[1]);
}

void Tanag_az::creaNavigatore() {
    using B = DBNavigator::Button;
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setButtons({B::Edit, B::Post, B::Cancel, B::Refresh});
    DBNavigator1->setDataSource(m_diz.AziendaS);
    DBNavigator1->setGeometry(392, 328 + 14, 137, 25);
}

QList<QWidget*> Tanag_az::controlli() const {
    return {DBEdit1,     DBEdit2,     DBEdit3,      DBEdit4,  DBEdit5,  DBEdit6, DBEdit7,
            DBEdit8,     DBEdit15,    DBEdit16,     DBEdit10, DBEdit11, DBEdit9, DBEdit12,
            DBComboBox2, DBComboBox1, DBNavigator1, DBEdit13, DBEdit14};
}
