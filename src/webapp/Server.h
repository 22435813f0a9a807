#pragma once

#include <QString>
#include <memory>

class Canale;
struct Collegamento;
struct Impostazioni;

// The HTTP server of gfe-web on 127.0.0.1 only: the pages of rotte(), an Italian page
// for any other path. Every request must name the host as 127.0.0.1:PORT (421) and
// carry no control character in a parameter (400); a page that changes something
// runs only on the POST of its own form, with the one-time token its GET issued and
// no Origin or Sec-Fetch-Site of another site (403). Each such POST prints one line on
// standard output. A client that has not delivered a whole request within 10 s is
// disconnected.
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
