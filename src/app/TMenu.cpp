#include "TMenu.h"

#include "Finestre.h"
#include "data/TDiz.h"
#include "platform/Desktop.h"
#include "widgets/Colori.h"
#include "widgets/Modulo.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

using Modulo::carattere;

QPushButton* pulsante(QWidget* parent, const QString& nome, const QString& testo, const QRect& r,
                      const QColor& colore, const QFont& font) {
    auto* b = Modulo::pulsante(parent, nome, testo, r, font);
    Modulo::colora(b, QPalette::ButtonText, colore);
    return b;
}

} // namespace

TMenu::TMenu(TDiz& diz, QWidget* parent) : QWidget(parent), m_diz(diz) {
    setWindowTitle(QString());
    resize(1188, 697);
    setFont(carattere(QStringLiteral("MS Sans Serif"), 11, false, false));
    setAutoFillBackground(true);
    Modulo::colora(this, QPalette::Window, Colori::GrigioBarra);
    creaControlli();
    collega();
}

void TMenu::creaControlli() {
    const QString sans = font().family();
    const QString times = QStringLiteral("Times New Roman");
    const QFont corsivo24 = carattere(sans, 24, false, true);
    const QFont normale24 = carattere(sans, 24, false, false);
    Label1 =
        Modulo::etichetta(this, QStringLiteral("GESTIONE FATTURAZIONE ELETTRONICA"), 320, 8,
                          carattere(times, 27, true, true), palette().color(QPalette::WindowText));
    Label1->setObjectName(QStringLiteral("Label1"));
    B6 = pulsante(this, QStringLiteral("B6"), QStringLiteral("Dati Azienda"), {1000, 600, 153, 41},
                  Colori::Blu, carattere(times, 24, false, true));
    Panel1 = Modulo::pannello(this, QStringLiteral("Panel1"), {104, 128, 433, 209},
                              Colori::AzzurroTitolo);
    B1 = pulsante(Panel1, QStringLiteral("B1"), QStringLiteral("Fatture Emesse"), {16, 48, 177, 41},
                  Colori::Verde, corsivo24);
    B2 = pulsante(Panel1, QStringLiteral("B2"), QStringLiteral("Clienti"), {304, 49, 105, 40},
                  Colori::Verde, corsivo24);
    Panel2 = Modulo::pannello(this, QStringLiteral("Panel2"), {640, 128, 433, 209}, Colori::Bianco);
    B3 = pulsante(Panel2, QStringLiteral("B3"), QStringLiteral("Fatture Acquisto"),
                  {24, 48, 177, 41}, Colori::Nero, normale24);
    B4 = pulsante(Panel2, QStringLiteral("B4"), QStringLiteral("Fornitori"), {248, 48, 161, 41},
                  Colori::Nero, normale24);
    B5 = pulsante(Panel2, QStringLiteral("B5"), QStringLiteral("Magazzino"), {144, 144, 161, 49},
                  Colori::Blu, normale24);
    BitBtn7 =
        pulsante(this, QStringLiteral("BitBtn7"), QStringLiteral("Accedi"), {544, 512, 145, 49},
                 Colori::Blu, carattere(QStringLiteral("Arial"), 16, true, false));
    Modulo::ordineTab({B6, B1, B2, B3, B4, B5, BitBtn7});
}

void TMenu::collega() {
    connect(BitBtn7, &QPushButton::clicked, this, &TMenu::BitBtn7Click);
    connect(B1, &QPushButton::clicked, this, &TMenu::B1Click);
    connect(B2, &QPushButton::clicked, this, &TMenu::B2Click);
    connect(B3, &QPushButton::clicked, this, &TMenu::B3Click);
    connect(B4, &QPushButton::clicked, this, &TMenu::B4Click);
    connect(B5, &QPushButton::clicked, this, &TMenu::B5Click);
    connect(B6, &QPushButton::clicked, this, &TMenu::B6Click);
}

void TMenu::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_mostrato) {
        m_mostrato = true;
        FormShow();
    }
}

void TMenu::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TMenu::FormShow() {
    for (QPushButton* b : pulsantiFunzione())
        b->setEnabled(false);
}

void TMenu::BitBtn7Click() {
    mostraEsito(Accesso::esegui(m_diz, QDir::currentPath(), &Finestre::impostaTitoloFatture));
}

void TMenu::mostraEsito(const Accesso::Esito& esito) {
    if (!esito.messaggio.isEmpty()) Desktop::corrente().messaggio(esito.messaggio);
    // A failed log-in, also after a successful one, leaves the buttons as at start-up.
    for (QPushButton* b : pulsantiFunzione())
        b->setEnabled(esito.collegato());
}

void TMenu::B1Click() {
    Finestre::mostra(Finestre::Fatture);
}
void TMenu::B2Click() {
    Finestre::mostra(Finestre::Clienti);
}
void TMenu::B3Click() {
    Finestre::mostra(Finestre::FattureAcquisto);
}
void TMenu::B4Click() {
    Finestre::mostra(Finestre::Fornitori);
}
void TMenu::B5Click() {
    Finestre::mostra(Finestre::Articoli);
}
void TMenu::B6Click() {
    Finestre::mostra(Finestre::DatiAzienda);
}

void TMenu::FormClose() {
    Accesso::chiudiTabelle(m_diz);
}
