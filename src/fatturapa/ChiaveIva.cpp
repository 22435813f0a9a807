#include "fatturapa/ChiaveIva.h"

#include <tuple>

std::optional<ChiaveIva> ChiaveIva::di(const NodoXml& blocco) {
    const std::optional<Decimale> aliquota = Decimale::leggi(blocco.testo("AliquotaIVA"));
    if (!aliquota) return std::nullopt;
    ChiaveIva chiave;
    chiave.m_aliquota = *aliquota;
    if (aliquota->zero()) chiave.m_natura = blocco.testo("Natura");
    return chiave;
}

QString ChiaveIva::descrizione() const {
    const QString testo = m_aliquota.testo() + u'%';
    return m_natura.isEmpty() ? testo : testo + u' ' + m_natura;
}

bool ChiaveIva::operator<(const ChiaveIva& altra) const {
    return std::tie(m_aliquota, m_natura) < std::tie(altra.m_aliquota, altra.m_natura);
}
