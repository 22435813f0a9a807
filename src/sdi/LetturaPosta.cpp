#include "sdi/LetturaPosta.h"

#include "db/Connection.h"
#include "platform/Errore.h"

#include <chrono>

namespace {

std::mutex& turno() {
    static std::mutex m;
    return m;
}

} // namespace

EsitoLetturaPosta leggiPostaPec(Connection& connessione, const ImpostazioniCasella& casella) {
    const std::lock_guard<std::mutex> attesa(turno());
    EsitoLetturaPosta esito;
    LettoreNotifiche lettore(connessione, casella.ricevute, casella.certificati);
    try {
        CasellaPec(casella).leggi(lettore);
        esito.riuscita = true;
    } catch (const Errore& e) {
        esito.errore = e.messaggio();
    } catch (const std::exception& e) {
        esito.errore = QString::fromUtf8(e.what());
    }
    esito.righe = lettore.prendiRighe();
    esito.conti = lettore.conti();
    return esito;
}

LetturaPeriodica::LetturaPeriodica(const ImpostazioniCasella& casella, Apri apri, Registro registro)
    : m_casella(casella), m_apri(std::move(apri)), m_registro(std::move(registro)) {
    if (m_casella.intervallo > 0 && !m_casella.host.isEmpty())
        m_thread = std::thread([this] { ciclo(); });
}

LetturaPeriodica::~LetturaPeriodica() {
    {
        const std::lock_guard<std::mutex> l(m_mutex);
        m_fine = true;
    }
    m_sveglia.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void LetturaPeriodica::ciclo() {
    std::unique_lock<std::mutex> l(m_mutex);
    while (!m_fine) {
        l.unlock();
        try {
            std::unique_ptr<Connection> c = m_apri();
            const EsitoLetturaPosta e = leggiPostaPec(*c, m_casella);
            for (const QString& r : e.righe)
                m_registro(r);
            m_registro(e.riuscita ? e.conti.riga() : e.errore);
        } catch (const Errore& e) {
            m_registro(e.messaggio());
        } catch (const std::exception& e) {
            m_registro(QString::fromUtf8(e.what()));
        }
        l.lock();
        m_sveglia.wait_for(l, std::chrono::minutes(m_casella.intervallo),
                           [this] { return m_fine; });
    }
}
