#include "purchases/StampaAcquisto.h"

#include "platform/Desktop.h"
#include "platform/Errore.h"
#include "print/StampaFattura.h"

#include <QString>

void StampaFatturaAcquisto(const TabelleFattura& acquisto, QWidget* genitore) {
    try {
        AnteprimaFatturaAcquisto(acquisto, genitore);
    } catch (const Errore&) {
        // Whatever stops the copy (no purchase invoice, unreadable data) reads as missing data.
        Desktop::corrente().messaggio(QStringLiteral("Mancanza Dati"));
    }
}
