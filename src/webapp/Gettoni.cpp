#include "Gettoni.h"

#include <QDateTime>
#include <QRandomGenerator>

Gettoni::Gettoni(qint64 durataMs, int massimo) : m_durata(durataMs), m_massimo(massimo) {}

QString Gettoni::emetti(const QString& percorso, const Parametri& parametri) {
    quint32 casuali[8];
    QRandomGenerator::system()->fillRange(casuali);
    const QString gettone = QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(casuali), sizeof casuali).toHex());
    const qint64 adesso = QDateTime::currentMSecsSinceEpoch();
    const std::lock_guard<std::mutex> blocco(m_mutex);
    sfoltisci(adesso);
    m_voci.insert(gettone, {percorso, parametri, adesso + m_durata});
    m_ordine.push_back(gettone);
    return gettone;
}

std::optional<Gettoni::Parametri> Gettoni::consuma(const QString& gettone,
                                                   const QString& percorso) {
    const qint64 adesso = QDateTime::currentMSecsSinceEpoch();
    const std::lock_guard<std::mutex> blocco(m_mutex);
    const auto it = m_voci.constFind(gettone);
    if (it == m_voci.constEnd()) return std::nullopt;
    const Voce voce = it.value();
    m_voci.erase(it);
    if (voce.percorso != percorso || voce.scadenza < adesso) return std::nullopt;
    return voce.parametri;
}

// Drops the expired tokens and, past the limit, the oldest ones.
void Gettoni::sfoltisci(qint64 adesso) {
    while (!m_ordine.empty()) {
        const auto it = m_voci.constFind(m_ordine.front());
        const bool usato = it == m_voci.constEnd();
        if (!usato && it->scadenza >= adesso && m_voci.size() < m_massimo) break;
        if (!usato) m_voci.erase(it);
        m_ordine.pop_front();
    }
    // Tokens used out of order leave their names behind: forgotten now and then.
    if (m_ordine.size() > size_t(4 * m_massimo)) {
        std::deque<QString> vivi;
        for (const QString& g : m_ordine)
            if (m_voci.contains(g)) vivi.push_back(g);
        m_ordine.swap(vivi);
    }
}
