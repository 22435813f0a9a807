#pragma once

#include "fatturapa/Decimale.h"
#include "fatturapa/NodoXml.h"
#include "fatturapa/Problema.h"

#include <QList>
#include <QString>

#include <optional>

// Checks of the exchange system on the amounts of one FatturaElettronicaBody:
// - 00423 PrezzoTotale of each line: PrezzoUnitario, with each
//   ScontoMaggiorazione applied in turn (its Importo per unit, or else its
//   Percentuale of the price reached so far), times Quantita (1 when absent);
//   tolerance 0.01;
// - 00421 Imposta of each summary: ImponibileImporto x AliquotaIVA / 100
//   rounded half up to the cent; tolerance 0.01;
// - 00422 ImponibileImporto of the summaries of one rate and nature: the
//   PrezzoTotale of the lines plus the ImportoContributoCassa of the
//   pension-fund blocks with that rate and nature, plus the Arrotondamento of
//   those summaries; tolerance 1.00.
class ControlliImporti {
public:
    ControlliImporti() = delete;

    static QList<Problema> esegui(const NodoXml& corpo);
    // PrezzoUnitario after discounts and surcharges, times Quantita; nullopt
    // when a number cannot be read.
    static std::optional<Decimale> prezzoTotaleAtteso(const NodoXml& riga);

private:
    static void prezzoTotale(const NodoXml& riga, QList<Problema>& problemi);
    static void imposta(const NodoXml& riepilogo, QList<Problema>& problemi);
    static void imponibili(const NodoXml& corpo, QList<Problema>& problemi);
};
