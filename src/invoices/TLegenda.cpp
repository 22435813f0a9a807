#include "TLegenda.h"

#include "widgets/Colori.h"
#include "widgets/Modulo.h"

#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kRiga = 23; // height of one code line

QLabel* etichetta(QWidget* parent, const QString& testo, const QColor& colore, int px,
                  bool grassetto = false) {
    return Modulo::etichetta(
        parent, testo, 0, 0,
        Modulo::carattere(QStringLiteral("Times New Roman"), px, grassetto, true), colore);
}

} // namespace

TLegenda::TLegenda(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("P2"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    Modulo::colora(this, QPalette::Window, Colori::GrigioAzzurro);

    etichetta(this, QStringLiteral("LEGENDA"), Colori::Marrone, 24, true)->move(120, 8);
    int top = 48;
    top = aggiungiGruppo(top, QStringLiteral("Tipo Documento:"),
                         {QStringLiteral("TD01 - Fattura"), QStringLiteral("TD04 - Nota Credito"),
                          QStringLiteral("TD05 - Nota Debito"),
                          QStringLiteral("TD20 - AutoFattura")});
    top = aggiungiGruppo(top, QStringLiteral("Tipo Pagamento:"),
                         {QStringLiteral("TP01 - A Rate"), QStringLiteral("TP02 - Completo")});
    top = aggiungiGruppo(top, QStringLiteral("Modalità di Pag."),
                         {QStringLiteral("MP01 - Contanti"), QStringLiteral("MP02 - Assegno"),
                          QStringLiteral("MP05 - Bonifico"), QStringLiteral("MP12 - Ri.Ba.")});
    top = aggiungiGruppo(top, QStringLiteral("Esigibilta Iva:"),
                         {QStringLiteral("I - Immediata"), QStringLiteral("D - Differita")});
    aggiungiGruppo(top, QStringLiteral("Natura Iva:"),
                   {QStringLiteral("N1 - Escluse ex art.15"), QStringLiteral("N2 - Non Soggette"),
                    QStringLiteral("N3 - Non Imponibili"), QStringLiteral("N4 - Esenti"),
                    QStringLiteral("N5 - Regime del Margine"),
                    QStringLiteral("N6 - Reverse Charge")});

    BitBtn2 = Modulo::pulsante(this, QStringLiteral("BitBtn2"), QStringLiteral("Chiudi"),
                               QRect(127, 548, 100, 32), font());
}

// The group name on the left, its codes one under the other on its right.
// Returns where the next group starts.
int TLegenda::aggiungiGruppo(int top, const QString& gruppo, const QStringList& codici) {
    etichetta(this, gruppo, Colori::Blu, 19)->move(8, top);
    int y = top;
    for (const QString& codice : codici) {
        etichetta(this, codice, Colori::Verde, 19)->move(140, y);
        y += kRiga;
    }
    return y + 8;
}
