#pragma once

#include "sdi/CasellaPec.h"
#include "sdi/LettoreNotifiche.h"

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class Connection;

// One reading of the certified mailbox: the lines of what was found and the counts, or why
// the reading stopped (the lines found until then stay).
struct EsitoLetturaPosta {
    bool riuscita = false;
    QString errore;
    QStringList righe;
    ContiNotifiche conti;
};

// Reads the mailbox once into the invoice database of `connessione`. Readings of one
// process take turns; readers of different processes are kept apart by the database.
EsitoLetturaPosta leggiPostaPec(Connection& connessione, const ImpostazioniCasella& casella);

// The mailbox read every `intervallo` minutes on a thread of its own, from construction
// until destruction, each time with a connection of its own.
class LetturaPeriodica {
public:
    using Apri = std::function<std::unique_ptr<Connection>()>;
    using Registro = std::function<void(const QString&)>;

    LetturaPeriodica(const ImpostazioniCasella& casella, Apri apri, Registro registro);
    ~LetturaPeriodica();
    LetturaPeriodica(const LetturaPeriodica&) = delete;
    LetturaPeriodica& operator=(const LetturaPeriodica&) = delete;

private:
    void ciclo();

    ImpostazioniCasella m_casella;
    Apri m_apri;
    Registro m_registro;
    std::mutex m_mutex;
    std::condition_variable m_sveglia;
    bool m_fine = false;
    std::thread m_thread;
};
