#include "fatturapa/CreaXml.h"

#include "fatturapa/ScrittoreFatturaPA.h"

QString CreaXmlFPR12(const TabelleFattura& tabelle, const QString& titoloFatture) {
    return ScrittoreFatturaPA(FormatoFatturaPA::FPR12, titoloFatture, tabelle).scrivi();
}

QString CreaXmlFPA12(const TabelleFattura& tabelle, const QString& titoloFatture) {
    return ScrittoreFatturaPA(FormatoFatturaPA::FPA12, titoloFatture, tabelle).scrivi();
}
