#include "fatturapa/CreaXml.h"

#include "data/TDiz.h"
#include "fatturapa/ScrittoreFatturaPA.h"

QString CreaXmlFPR12(const QString& titoloFatture) {
    return ScrittoreFatturaPA(FormatoFatturaPA::FPR12, titoloFatture, *Diz->AziendaT, *Diz->Testata,
                              *Diz->Detta)
        .scrivi();
}

QString CreaXmlFPA12(const QString& titoloFatture) {
    return ScrittoreFatturaPA(FormatoFatturaPA::FPA12, titoloFatture, *Diz->AziendaT, *Diz->Testata,
                              *Diz->Detta)
        .scrivi();
}
