#include "Richiesta.h"

#include "Collegamento.h"
#include "db/Connection.h"

Richiesta::Richiesta(QHash<QString, QString> parametri, const Impostazioni& impostazioni,
                     const Collegamento& collegamento, const Canale& canale)
    : m_parametri(std::move(parametri)), m_impostazioni(impostazioni), m_collegamento(collegamento),
      m_canale(canale) {}

Richiesta::~Richiesta() = default;

Connection& Richiesta::connessione() {
    if (!m_connessione) m_connessione = m_collegamento.apri();
    return *m_connessione;
}
