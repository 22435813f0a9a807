#include "fatturapa/CreaXml.h"

#include "fatturapa/ScrittoreFatturaPA.h"

QString CreaXmlFPR12(const QString& titoloFatture) {
    return ScrittoreFatturaPA(FormatoFatturaPA::FPR12, titoloFatture).scrivi();
}

QString CreaXmlFPA12(const QString& titoloFatture) {
    return ScrittoreFatturaPA(FormatoFatturaPA::FPA12, titoloFatture).scrivi();
}
