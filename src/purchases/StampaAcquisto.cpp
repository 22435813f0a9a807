#include "purchases/StampaAcquisto.h"

#include "platform/Desktop.h"

#include <QString>

void StampaFatturaAcquisto(QWidget*) {
    // Until the purchase layout exists, printing fails as a report without data does.
    Desktop::corrente().messaggio(QStringLiteral("Mancanza Dati"));
}
