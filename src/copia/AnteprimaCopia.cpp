#include "copia/AnteprimaCopia.h"

#include "copia/Copia.h"
#include "copia/CopiaPdf.h"
#include "report/Pittore.h"

QString anteprimaCopia(const QString& percorso, QWidget* genitore) {
    const EsitoCopia esito = leggiCopiaFile(percorso);
    if (!esito.riuscita()) return esito.errore;
    Pittore::anteprima(impaginaCopia(esito.copia), genitore);
    return {};
}
