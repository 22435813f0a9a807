#pragma once

#include "fatturapa/Decimale.h"
#include "fatturapa/NodoXml.h"

#include <QString>

#include <optional>

// VAT rate and nature that tie the lines and the pension-fund blocks of an
// invoice to its summary blocks. The nature counts only for the rate 0: with
// any other rate it is an error of its own and does not split the group.
class ChiaveIva {
public:
    // From the AliquotaIVA and Natura children of a DettaglioLinee,
    // DatiCassaPrevidenziale or DatiRiepilogo block; nullopt without a
    // readable rate.
    static std::optional<ChiaveIva> di(const NodoXml& blocco);

    const Decimale& aliquota() const { return m_aliquota; }
    const QString& natura() const { return m_natura; }
    bool esente() const { return m_aliquota.zero(); }
    // "22.00%" or "0.00% N2.2".
    QString descrizione() const;

    bool operator<(const ChiaveIva& altra) const;

private:
    Decimale m_aliquota;
    QString m_natura;
};
