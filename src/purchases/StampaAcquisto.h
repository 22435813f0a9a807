#pragma once

class QWidget;

// Prints the current purchase invoice (Diz->Testa_Car with its lines in
// Diz->Detta_Car) in the modal print preview, owned by `owner`; returns when the
// preview closes. The purchase layout of the report form supplies it.
void StampaFatturaAcquisto(QWidget* owner);
