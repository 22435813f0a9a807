#include "purchases/StampaAcquisto.h"

#include "data/TDiz.h"
#include "platform/Desktop.h"
#include "platform/Errore.h"
#include "print/StampaFattura.h"

#include <QString>

void StampaFatturaAcquisto(QWidget* genitore) {
    try {
        AnteprimaFatturaAcquisto(*Diz->AziendaT, *Diz->Testa_Car, *Diz->Detta_Car, genitore);
    } catch (const Errore&) {
        // Whatever stops the copy (no purchase invoice, unreadable data) reads as missing data.
        Desktop::corrente().messaggio(QStringLiteral("Mancanza Dati"));
    }
}
