#pragma once

#include <QString>
#include <memory>

class Canale;
struct Collegamento;
struct Impostazioni;

// The HTTP server of gfe-web on 127.0.0.1 only: one thread per request, the pages of
// rotte(), an Italian page for any other path.
class Server {
public:
    Server(const Impostazioni& impostazioni, const Collegamento& collegamento,
           const Canale& canale);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds the port of the settings (0: any free one); returns the port bound, or -1.
    int apri();
    // Serves until ferma(); false when it could not serve.
    bool servi();
    // Safe from any thread.
    void ferma();

private:
    struct Dati;
    std::unique_ptr<Dati> d;
};
