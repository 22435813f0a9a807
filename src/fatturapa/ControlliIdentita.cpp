#include "fatturapa/ControlliIdentita.h"

#include "platform/CodiciFiscali.h"

QList<Problema> controlliIdentitaCommittente(const NodoXml& radice) {
    QList<Problema> problemi;
    const NodoXml committente = radice.figlio("FatturaElettronicaHeader/CessionarioCommittente");
    const NodoXml anagrafica = committente.figlio("DatiAnagrafici");
    const NodoXml idIva = anagrafica.figlio("IdFiscaleIVA");
    const QString paese =
        idIva.esiste() ? idIva.testo("IdPaese") : committente.testo("Sede/Nazione");
    if (paese != u"IT") return problemi;
    const QString partitaIva = idIva.testo("IdCodice");
    if (idIva.esiste() && !CodiciFiscali::partitaIvaValida(partitaIva)) {
        problemi.append({QStringLiteral("00305"),
                         QStringLiteral("IdFiscaleIVA del cessionario/committente «IT%1» non è "
                                        "una partita IVA valida (cifra di controllo)")
                             .arg(partitaIva)});
    }
    const NodoXml codice = anagrafica.figlio("CodiceFiscale");
    if (codice.esiste() && !CodiciFiscali::codiceFiscaleValido(codice.testo())) {
        problemi.append({QStringLiteral("00306"),
                         QStringLiteral("CodiceFiscale del cessionario/committente «%1» non "
                                        "valido (carattere di controllo)")
                             .arg(codice.testo())});
    }
    return problemi;
}
