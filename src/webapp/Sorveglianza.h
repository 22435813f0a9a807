#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

// Closes the connections to the server's port that have not delivered a whole request
// within a time limit: an idle or slow client (one byte now and then) would otherwise
// hold a request thread for ever. A connection whose request reached a page is left
// alone, however long the page works. It looks at the process's own sockets only.
class Sorveglianza {
public:
    explicit Sorveglianza(std::chrono::milliseconds limite) : m_limite(limite) {}
    ~Sorveglianza() { ferma(); }
    Sorveglianza(const Sorveglianza&) = delete;
    Sorveglianza& operator=(const Sorveglianza&) = delete;

    // Starts watching the connections accepted on `porta`.
    void avvia(int porta);
    void ferma();
    // The request of the client at `portaRemota` has been read whole.
    void ricevuta(int portaRemota);

private:
    struct Connessione {
        int portaRemota;
        std::chrono::steady_clock::time_point inizio;
    };
    void giro();

    const std::chrono::milliseconds m_limite;
    int m_porta = 0;
    std::mutex m_mutex;
    std::condition_variable m_sveglia;
    bool m_fine = false;
    std::map<int, Connessione> m_connessioni; // by descriptor
    std::set<int> m_ricevute;                 // remote ports whose request was read
    std::thread m_filo;
};
