#include "Canale.h"
#include "Collegamento.h"
#include "Impostazioni.h"
#include "Server.h"
#include "db/Connection.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "platform/Errore.h"
#include "sdi/LetturaPosta.h"

#include <QCoreApplication>
#include <QDir>
#include <csignal>
#include <cstdio>
#include <curl/curl.h>
#include <pthread.h>
#include <thread>

namespace {

void errore(const QString& testo) {
    std::fprintf(stderr, "gfe-web: %s\n", testo.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv) {
    // SIGTERM and SIGINT are taken by one thread that stops the server: every other
    // thread, started after this, inherits the blocked mask.
    sigset_t segnali;
    sigemptyset(&segnali);
    sigaddset(&segnali, SIGTERM);
    sigaddset(&segnali, SIGINT);
    pthread_sigmask(SIG_BLOCK, &segnali, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gfe-web"));
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const QString cartella = QDir::currentPath();
    int esito = 1;
    try {
        const Impostazioni impostazioni =
            Impostazioni::leggi(QCoreApplication::arguments(), cartella);
        const Collegamento collegamento = Collegamento::accedi(cartella);
        const std::unique_ptr<Canale> canale = creaCanale(impostazioni);
        // The schema is loaded once, before the request threads use it.
        if (!ValidatoreFatturaPA().pronto())
            errore(QStringLiteral(
                "schema FatturaPA non trovato: i file non potranno essere controllati"));
        Server server(impostazioni, collegamento, *canale);
        const int porta = server.apri();
        if (porta <= 0)
            throw Errore(QStringLiteral("La porta %1 di 127.0.0.1 non è disponibile")
                             .arg(impostazioni.porta));
        std::thread arresto([&server, segnali] {
            int segnale = 0;
            sigwait(&segnali, &segnale);
            server.ferma();
        });
        std::printf("gfe-web: in ascolto su http://127.0.0.1:%d\n", porta);
        std::printf("gfe-web: canale %s\n", impostazioni.canale.toLocal8Bit().constData());
        std::fflush(stdout);
        // The certified mailbox every [pec] intervallo minutes, while the server runs.
        const LetturaPeriodica posta(
            impostazioni.casella, [&collegamento] { return collegamento.apri(); },
            [](const QString& riga) {
                std::printf("gfe-web: posta: %s\n", riga.toLocal8Bit().constData());
                std::fflush(stdout);
            });
        esito = server.servi() ? 0 : 1;
        // Wakes the stopping thread when the server ended by itself.
        pthread_kill(arresto.native_handle(), SIGTERM);
        arresto.join();
        if (esito == 0) std::printf("gfe-web: fermato\n");
    } catch (const Errore& e) {
        errore(e.messaggio());
    }
    std::fflush(stdout);
    curl_global_cleanup();
    return esito;
}
