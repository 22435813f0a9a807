#pragma once

#include "db/TabelleFattura.h"

class QWidget;

// Prints the current purchase invoice (acquisto.testata, test_car, with its lines in
// acquisto.righe, dett_car) in the modal print preview, owned by `owner`; returns when
// the preview closes. The purchase layout of the report form supplies it.
void StampaFatturaAcquisto(const TabelleFattura& acquisto, QWidget* owner);
