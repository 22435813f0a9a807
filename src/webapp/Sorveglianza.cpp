#include "Sorveglianza.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <vector>

namespace {

// The remote port of `fd` when it is a connection accepted on local port `porta`, else 0.
int portaRemota(int fd, int porta) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISSOCK(info.st_mode)) return 0;
    sockaddr_in locale{}, remoto{};
    socklen_t n = sizeof locale;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&locale), &n) != 0 ||
        locale.sin_family != AF_INET || ntohs(locale.sin_port) != porta)
        return 0;
    n = sizeof remoto;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&remoto), &n) != 0) return 0;
    return ntohs(remoto.sin_port);
}

std::vector<int> descrittori() {
    std::vector<int> fd;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (const dirent* e = ::readdir(d))
            if (e->d_name[0] >= '0' && e->d_name[0] <= '9') fd.push_back(std::atoi(e->d_name));
        ::closedir(d);
    }
    return fd;
}

} // namespace

void Sorveglianza::avvia(int porta) {
    m_porta = porta;
    m_filo = std::thread([this] {
        std::unique_lock<std::mutex> blocco(m_mutex);
        while (!m_fine) {
            blocco.unlock();
            giro();
            blocco.lock();
            m_sveglia.wait_for(blocco, std::chrono::milliseconds(250), [this] { return m_fine; });
        }
    });
}

void Sorveglianza::ferma() {
    {
        const std::lock_guard<std::mutex> blocco(m_mutex);
        m_fine = true;
    }
    m_sveglia.notify_all();
    if (m_filo.joinable()) m_filo.join();
}

void Sorveglianza::ricevuta(int porta) {
    const std::lock_guard<std::mutex> blocco(m_mutex);
    m_ricevute.insert(porta);
}

void Sorveglianza::giro() {
    const auto adesso = std::chrono::steady_clock::now();
    std::map<int, Connessione> viste;
    std::vector<int> scadute;
    {
        const std::lock_guard<std::mutex> blocco(m_mutex);
        for (const int fd : descrittori()) {
            const int remota = portaRemota(fd, m_porta);
            if (remota == 0) continue;
            const auto prima = m_connessioni.find(fd);
            const Connessione c =
                prima != m_connessioni.end() && prima->second.portaRemota == remota
                    ? prima->second
                    : Connessione{remota, adesso};
            viste.emplace(fd, c);
            if (!m_ricevute.count(remota) && adesso - c.inizio > m_limite) scadute.push_back(fd);
        }
        // The remote ports of connections gone are forgotten: the next client may reuse one.
        std::set<int> ancora;
        for (const auto& [fd, c] : viste)
            if (m_ricevute.count(c.portaRemota)) ancora.insert(c.portaRemota);
        m_ricevute.swap(ancora);
        m_connessioni.swap(viste);
    }
    // Shut down, not closed: the request's thread sees the end and closes it itself.
    for (const int fd : scadute)
        ::shutdown(fd, SHUT_RDWR);
}
