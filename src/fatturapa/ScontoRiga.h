#pragma once

#include <QString>

// The discount block of an invoice line as the exchange system reads it: its
// check of PrezzoTotale applies a block's Importo to each unit, so the Importo
// written is the line's discount amount divided by the quantity.
class ScontoRiga {
public:
    ScontoRiga() = delete;

    // True when PrezzoUnitario x Quantita (1 when Quantita is left out, that is
    // empty) equals PrezzoTotale within 0.01: the unit price is already net and
    // the line carries no discount block. The arguments are the point forms as
    // written.
    static bool prezzoNetto(const QString& prezzoUnitario, const QString& quantita,
                            const QString& prezzoTotale);

    // The stored discount amount divided by the written quantity (by 1 when it
    // is empty or zero), exact, rounded half away from zero to eight decimals,
    // with a point and without trailing zeros beyond the second decimal:
    // 2,00 over 2.00 -> 1.00; 1,00 over 3.00 -> 0.33333333. Empty when the
    // amount is empty or unreadable.
    static QString importoUnitario(const QString& scImporto, const QString& quantita);
};
