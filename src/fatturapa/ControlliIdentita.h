#pragma once

#include "fatturapa/NodoXml.h"
#include "fatturapa/Problema.h"

#include <QList>

// Check digits of the customer's Italian tax identifiers (CessionarioCommittente):
// 00305 for an IdFiscaleIVA of country IT that is no valid Partita IVA, 00306 for
// the CodiceFiscale of an Italian customer that fails its check.
QList<Problema> controlliIdentitaCommittente(const NodoXml& radice);
