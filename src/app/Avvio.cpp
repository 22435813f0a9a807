#include "Avvio.h"

#include "Finestre.h"
#include "TMenu.h"
#include "data/TDiz.h"
#include "platform/Desktop.h"
#include "print/TSt_Fatt.h"

// The windows of the layers after this one join once their library and header exist
// (GFE_CON_<LIBRARY> comes from the build when the library is linked in).
#if defined(GFE_CON_GFE_REGISTRIES) && __has_include("registries/Tanag_az.h")
#include "registries/Tanag_az.h"
#define GFE_TANAG_AZ
#endif
#if defined(GFE_CON_GFE_INVOICES_UI) && __has_include("invoices/TElenco_Fatt.h")
#include "invoices/TEditorRiga.h"
#include "invoices/TElenco_Fatt.h"
#include "invoices/TLegenda.h"
#include "invoices/TPannelloTestata.h"
#define GFE_TELENCO_FATT
#endif
#if defined(GFE_CON_GFE_REGISTRIES) && __has_include("registries/TAnag_Cl.h")
#include "registries/TAnag_Cl.h"
#define GFE_TANAG_CL
#endif
#if defined(GFE_CON_GFE_REGISTRIES) && __has_include("registries/TAnag_Fo.h")
#include "registries/TAnag_Fo.h"
#define GFE_TANAG_FO
#endif
#if defined(GFE_CON_GFE_PURCHASES) && __has_include("purchases/TElenco_Carico.h")
#include "purchases/TElenco_Carico.h"
#define GFE_TELENCO_CARICO
#endif
#if defined(GFE_CON_GFE_REGISTRIES) && __has_include("registries/TArticoli.h")
#include "registries/TArticoli.h"
#define GFE_TARTICOLI
#endif

namespace {

#ifdef GFE_TELENCO_FATT
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
#endif

} // namespace

Avvio::Avvio() : m_menu(std::make_unique<TMenu>()), m_diz(std::make_unique<TDiz>()) {
    QObject::connect(m_diz.get(), &TDiz::autoRefreshFailed, m_menu.get(),
                     [](const QString& tabella, const QString& messaggio) {
                         Desktop::corrente().messaggio(
                             QStringLiteral("Aggiornamento automatico di ") + tabella +
                             QStringLiteral(" sospeso: ") + messaggio);
                     });
    creaFinestre(m_menu.get());
}

Avvio::~Avvio() {
    Finestre::distruggi();
    m_diz.reset();
    m_menu.reset();
}

void Avvio::creaFinestre([[maybe_unused]] TMenu* menu) {
#ifdef GFE_TANAG_AZ
    Finestre::crea<Tanag_az>(Finestre::DatiAzienda, QStringLiteral("dati_azienda"), menu);
#endif
#ifdef GFE_TELENCO_FATT
    auto* fatture =
        Finestre::crea<TElenco_Fatt>(Finestre::Fatture, QStringLiteral("fatture"), menu);
    Finestre::impostaViste(Finestre::Fatture, [fatture] { return visteFatture(fatture); });
#endif
#ifdef GFE_TANAG_CL
    Finestre::crea<TAnag_Cl>(Finestre::Clienti, QStringLiteral("clienti"), menu);
#endif
#ifdef GFE_TANAG_FO
    Finestre::crea<TAnag_Fo>(Finestre::Fornitori, QStringLiteral("fornitori"), menu);
#endif
#ifdef GFE_TELENCO_CARICO
    Finestre::crea<TElenco_Carico>(Finestre::FattureAcquisto, QStringLiteral("fatture_acquisto"),
                                   menu);
#endif
#ifdef GFE_TARTICOLI
    Finestre::crea<TArticoli>(Finestre::Articoli, QStringLiteral("articoli"), menu);
#endif
    Finestre::crea<TSt_Fatt>(Finestre::StampaFattura, QStringLiteral("stampa_fattura"), menu);
}
