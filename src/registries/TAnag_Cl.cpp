#include "registries/TAnag_Cl.h"

#include "data/TDiz.h"
#include "registries/SceltaCliente.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/EnterAsTab.h"
#include "widgets/Modulo.h"
#include "widgets/TAzione.h"

#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {

ImpostazioneAnagrafica impostazione(TDiz& diz) {
    using B = DBNavigator::Button;
    return {
        QStringLiteral("Anag_Cl"),
        QStringLiteral("Clienti"),
        QStringLiteral("ANAGRAFICA CLIENTI"),
        QStringLiteral("clienti"),
        diz.Clienti,
        diz.ClientiS,
        QStringLiteral("id"),
        31,
        421,
        {B::First, B::Prior, B::Next, B::Last, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh},
        {{"Ragione Sociale", "rag_soc", 512, 60, 473, 'U'},
         {"Indirizzo", "indirizzo", 512, 104, 473, 0},
         {"CAP", "cap", 512, 148, 57, 0},
         {"Comune", "comune", 584, 148, 265, 0},
         {"Prov", "prov", 864, 148, 41, 0},
         {"Nazione", "nazione", 920, 148, 65, 0},
         {"Partita IVA", "p_iva", 512, 192, 105, 0},
         {"Codice Fiscale", "cod_fis", 752, 192, 145, 0},
         {"Codice Destinatario", "cod_dest", 512, 236, 105, 0},
         {"PEC", "pec", 632, 236, 353, 'L'},
         {"Ragione Sociale Destinazione", "dest_soc", 512, 300, 473, 'U'},
         {"Indirizzo Destinazione", "dest_indir", 512, 344, 473, 0},
         {"CAP Destinazione", "dest_cap", 512, 388, 57, 0},
         {"Comune Destinazione", "dest_comune", 624, 388, 361, 0}}};
}

} // namespace

TAnag_Cl::TAnag_Cl(TDiz& diz, QWidget* parent)
    : TAnagrafica(impostazione(diz), parent), m_diz(diz) {
    Modulo::ordineTab(controlli());
    EnterAsTab::install(this);
}

// "Nuovo" comes between "PEC" and the destination.
QList<QWidget*> TAnag_Cl::controlli() const {
    QList<QWidget*> out{Edit1, DBGrid1, DBNavigator1};
    for (int i = 0; i < campi.size(); ++i) {
        out << campi[i];
        if (campi[i]->field() == u"pec") out << BitBtn1;
    }
    return out;
}

void TAnag_Cl::scegliPer(QWidget* fatture) {
    m_fatture = fatture;
    exec();
}

void TAnag_Cl::showEvent(QShowEvent* event) {
    TAnagrafica::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TAnag_Cl::FormShow() {
    Edit1->setFocus();
}

bool TAnag_Cl::DBGrid1DblClick() {
    if (!m_fatture || !m_fatture->isVisible()) return false;
    bool scelto = false;
    // Without a customer to pick, or when the pick fails, the window stays open.
    if (!TAzione::esegui([&] { scelto = scegliCliente(*m_t, *m_diz.Testata); }) || !scelto)
        return true;
    close();
    return true;
}
