#include "Avvio.h"

#include "Finestre.h"
#include "TMenu.h"
#include "data/TDiz.h"
#include "invoices/TEditorRiga.h"
#include "invoices/TElenco_Fatt.h"
#include "invoices/TLegenda.h"
#include "invoices/TPannelloTestata.h"
#include "platform/Desktop.h"
#include "print/TSt_Fatt.h"
#include "purchases/TElenco_Carico.h"
#include "registries/TAnag_Cl.h"
#include "registries/TAnag_Fo.h"
#include "registries/TArticoli.h"
#include "registries/Tanag_az.h"
#include "widgets/Modulo.h"

namespace {

// The invoice window with each of its overlay panels open.
QList<Finestre::Vista> visteFatture(TElenco_Fatt* f) {
    const auto solo = [f](QWidget* pannello) {
        return [f, pannello] {
            for (QWidget* p : std::initializer_list<QWidget*>{f->P2, f->P3, f->P4})
                p->setVisible(p == pannello);
            pannello->raise();
        };
    };
    return {{QStringLiteral("fatture_legenda"), solo(f->P2)},
            {QStringLiteral("fatture_riga"), solo(f->P3)},
            {QStringLiteral("fatture_testata"), solo(f->P4)}};
}

} // namespace

Avvio::Avvio() : Diz(std::make_unique<TDiz>()), m_menu(std::make_unique<TMenu>(*Diz)) {
    QObject::connect(Diz.get(), &TDiz::autoRefreshFailed, m_menu.get(),
                     [](const QString& tabella, const QString& messaggio) {
                         Desktop::corrente().messaggio(
                             QStringLiteral("Aggiornamento automatico di ") + tabella +
                             QStringLiteral(" sospeso: ") + messaggio);
                     });
    Modulo::ricorda(m_menu.get(), QStringLiteral("TMenu"));
    creaFinestre();
}

Avvio::~Avvio() {
    Finestre::distruggi();
    m_menu.reset();
    Diz.reset();
}

// One line per window (its library is linked in src/app/CMakeLists.txt).
void Avvio::creaFinestre() {
    TMenu* menu = m_menu.get();
    TDiz& diz = *Diz;
    Finestre::crea<Tanag_az>(Finestre::DatiAzienda, QStringLiteral("dati_azienda"), menu, diz);
    auto* fatture =
        Finestre::crea<TElenco_Fatt>(Finestre::Fatture, QStringLiteral("fatture"), menu, diz);
    Finestre::impostaViste(Finestre::Fatture, [fatture] { return visteFatture(fatture); });
    auto* clienti =
        Finestre::crea<TAnag_Cl>(Finestre::Clienti, QStringLiteral("clienti"), menu, diz);
    Finestre::crea<TAnag_Fo>(Finestre::Fornitori, QStringLiteral("fornitori"), menu, diz);
    Finestre::crea<TElenco_Carico>(Finestre::FattureAcquisto, QStringLiteral("fatture_acquisto"),
                                   menu, diz);
    auto* articoli =
        Finestre::crea<TArticoli>(Finestre::Articoli, QStringLiteral("articoli"), menu, diz);
    fatture->impostaScelte(clienti, articoli);
    Finestre::crea<TSt_Fatt>(Finestre::StampaFattura, QStringLiteral("stampa_fattura"), menu);
}
