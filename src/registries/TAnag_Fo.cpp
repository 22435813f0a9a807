#include "registries/TAnag_Fo.h"

#include "data/TDiz.h"
#include "widgets/Modulo.h"

namespace {

ImpostazioneAnagrafica impostazione(TDiz& diz) {
    return {QStringLiteral("Anag_Fo"),
            QStringLiteral("Fornitori"),
            QStringLiteral("ANAGRAFICA FORNITORI"),
            QStringLiteral("fornitori"),
            diz.Fornitori,
            diz.FornitoriS,
            QStringLiteral("ID"),
            35,
            449,
            DBNavigator::allButtons(),
            {{"Ragione Sociale", "rag_soc", 512, 60, 473, 'U'},
             {"Indirizzo", "indirizzo", 512, 104, 473, 0},
             {"CAP", "cap", 512, 148, 57, 0},
             {"Comune", "comune", 584, 148, 265, 0},
             {"Prov", "prov", 864, 148, 41, 0},
             {"Nazione", "nazione", 920, 148, 65, 0},
             {"Partita IVA", "p_iva", 512, 192, 105, 0},
             {"Codice Fiscale", "cod_fis", 752, 192, 145, 0},
             {"Codice Destinatario", "cod_destinatario", 512, 236, 105, 0},
             {"PEC", "pec", 632, 236, 353, 'L'}}};
}

} // namespace

TAnag_Fo::TAnag_Fo(TDiz& diz, QWidget* parent) : TAnagrafica(impostazione(diz), parent) {
    Modulo::ordineTab(controlli());
}
