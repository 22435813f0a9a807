#include "Server.h"

#include "Gettoni.h"
#include "Impostazioni.h"
#include "Richiesta.h"
#include "Rotte.h"
#include "Sorveglianza.h"
#include "platform/Errore.h"

#include <httplib.h>

#include <QDateTime>
#include <QRegularExpression>
#include <atomic>
#include <cstdio>
#include <exception>
#include <mutex>
#include <sys/socket.h>

namespace {

// The pages' paths are matched literally.
std::string schema(const QString& percorso) {
    return QRegularExpression::escape(percorso).toStdString();
}

bool haControllo(const std::string& s) {
    for (const unsigned char c : s)
        if (c < 0x20 || c == 0x7f) return true;
    return false;
}

// The first parameter whose name or value holds a NUL or another control character.
std::optional<std::string> parametroMalformato(const httplib::Params& parametri) {
    for (const auto& [nome, valore] : parametri)
        if (haControllo(nome) || haControllo(valore)) return nome;
    return std::nullopt;
}

QHash<QString, QString> decodifica(const httplib::Params& parametri) {
    QHash<QString, QString> p;
    for (const auto& [nome, valore] : parametri)
        p.insert(QString::fromStdString(nome), QString::fromStdString(valore));
    return p;
}

Risposta errore(int stato, const QString& esito, const QStringList& dettagli = {}) {
    return {stato, QStringLiteral("Richiesta rifiutata"), esito, dettagli};
}

} // namespace

struct Server::Dati {
    Dati(const Impostazioni& i, const Collegamento& c, const Canale& k)
        : impostazioni(i), collegamento(c), canale(k) {}

    const Impostazioni& impostazioni;
    const Collegamento& collegamento;
    const Canale& canale;
    httplib::Server http;
    Gettoni gettoni;
    // A whole request within 10 s, or the connection is closed.
    Sorveglianza sorveglianza{std::chrono::seconds(10)};
    std::atomic<int> porta{0};
    std::mutex registro;

    QString origine() const { return QStringLiteral("http://127.0.0.1:%1").arg(porta.load()); }

    void rispondi(httplib::Response& res, const Risposta& r, const QString& azione = {},
                  const QString& gettone = {}) const {
        res.status = r.stato;
        const QByteArray html = paginaHtml(r, azione, gettone);
        res.set_content(html.constData(), size_t(html.size()), "text/html; charset=utf-8");
        // Nothing of these pages is kept, framed or shown to another site.
        res.set_header("Cache-Control", "no-store");
        res.set_header("X-Frame-Options", "DENY");
        res.set_header("Content-Security-Policy",
                       "default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; "
                       "frame-ancestors 'none'");
        res.set_header("X-Content-Type-Options", "nosniff");
        res.set_header("Referrer-Policy", "no-referrer");
    }

    // Why a POST does not come from this application's own pages; empty when it does.
    // A request without Origin and Sec-Fetch-Site (a script's) still needs the token.
    QString estranea(const httplib::Request& req) const {
        if (req.has_header("Origin") &&
            QString::fromStdString(req.get_header_value("Origin")) != origine())
            return QStringLiteral("la richiesta viene da un'altra origine (%1)")
                .arg(QString::fromStdString(req.get_header_value("Origin")));
        if (req.has_header("Sec-Fetch-Site")) {
            const std::string sito = req.get_header_value("Sec-Fetch-Site");
            if (sito != "same-origin" && sito != "none")
                return QStringLiteral("la richiesta viene da un altro sito (Sec-Fetch-Site: %1)")
                    .arg(QString::fromStdString(sito));
        }
        return {};
    }

    // One line per request that changes something: time, page, invoice, outcome.
    void annota(const Rotta& rotta, const QHash<QString, QString>& parametri, const Risposta& r) {
        QStringList cosa;
        for (const QString& nome : {QStringLiteral("n_invio"), QStringLiteral("nome_file")})
            if (parametri.contains(nome)) cosa << nome + QLatin1Char('=') + parametri.value(nome);
        if (cosa.isEmpty()) cosa << QStringLiteral("-");
        const QString riga =
            QStringLiteral("%1 %2 %3 -> %4 %5\n")
                .arg(QDateTime::currentDateTime().toString(Qt::ISODate), rotta.percorso,
                     cosa.join(QLatin1Char(' ')), QString::number(r.stato), r.esito);
        const QByteArray testo = riga.toUtf8();
        const std::lock_guard<std::mutex> blocco(registro);
        std::fwrite(testo.constData(), 1, size_t(testo.size()), stdout);
        std::fflush(stdout);
    }

    void servi(const Rotta& rotta, const httplib::Request& req, httplib::Response& res, bool post) {
        sorveglianza.ricevuta(req.remote_port);
        httplib::Params tutti = req.params;
        if (post && !tutti.count("gettone") &&
            req.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0) == 0)
            httplib::detail::parse_query_text(req.body, tutti);
        if (const auto nome = parametroMalformato(tutti))
            return rispondi(res, errore(400,
                                        QStringLiteral("Richiesta non valida: il parametro %1 "
                                                       "contiene un carattere di controllo.")
                                            .arg(QString::fromStdString(*nome)),
                                        {QStringLiteral("Non è stato cambiato nulla.")}));
        QHash<QString, QString> parametri = decodifica(tutti);
        if (post) {
            QString motivo = estranea(req);
            if (motivo.isEmpty()) {
                const auto voce =
                    gettoni.consuma(parametri.value(QStringLiteral("gettone")), rotta.percorso);
                if (voce)
                    parametri = *voce;
                else
                    motivo = QStringLiteral("manca il modulo valido di questa pagina (assente, "
                                            "già usato o scaduto)");
            }
            if (!motivo.isEmpty()) {
                const Risposta r =
                    errore(403, QStringLiteral("Richiesta rifiutata: %1.").arg(motivo),
                           {QStringLiteral("Non è stato cambiato nulla."),
                            QStringLiteral("Aprire la pagina dal programma GFE e confermare con il "
                                           "suo pulsante.")});
                annota(rotta, parametri, r);
                return rispondi(res, r);
            }
        }
        Richiesta richiesta(parametri, impostazioni, collegamento, canale);
        Risposta r;
        try {
            r = post ? rotta.esegui(richiesta) : rotta.mostra(richiesta);
        } catch (const Errore& e) {
            r = {500,
                 QStringLiteral("Errore"),
                 QStringLiteral("La richiesta non è stata eseguita."),
                 {e.messaggio(), QStringLiteral("Non è stato cambiato nulla.")}};
        } catch (const std::exception& e) {
            r = {500,
                 QStringLiteral("Errore"),
                 QStringLiteral("La richiesta non è stata eseguita."),
                 {QString::fromUtf8(e.what())}};
        }
        if (post) {
            annota(rotta, parametri, r);
            return rispondi(res, r);
        }
        if (rotta.cambia() && r.stato == 200 && !r.pulsante.isEmpty())
            return rispondi(res, r, rotta.percorso, gettoni.emetti(rotta.percorso, parametri));
        r.pulsante.clear();
        rispondi(res, r);
    }
};

Server::Server(const Impostazioni& impostazioni, const Collegamento& collegamento,
               const Canale& canale)
    : d(std::make_unique<Dati>(impostazioni, collegamento, canale)) {
    // Threads enough for the slow clients the watchdog has not closed yet and the
    // pages of a batch opened at once; each waits at most 5 s for a client's bytes.
    d->http.new_task_queue = [] { return new httplib::ThreadPool(128); };
    d->http.set_keep_alive_max_count(1);
    d->http.set_read_timeout(5);
    d->http.set_write_timeout(5);
    d->http.set_payload_max_length(1 << 20);
    // Without SO_REUSEPORT: a second server on the same port fails to bind.
    d->http.set_socket_options([](socket_t s) {
        int si = 1;
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &si, sizeof si);
    });
    // Only requests addressed to this application by its loopback address: a foreign
    // Host is another site's name resolved to 127.0.0.1 (DNS rebinding).
    d->http.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        const std::string atteso = "127.0.0.1:" + std::to_string(d->porta.load());
        if (req.get_header_value_count("Host") == 1 && req.get_header_value("Host") == atteso)
            return httplib::Server::HandlerResponse::Unhandled;
        d->rispondi(res, errore(421,
                                QStringLiteral("Richiesta rifiutata: questa applicazione risponde "
                                               "solo all'indirizzo %1.")
                                    .arg(d->origine()),
                                {QStringLiteral("Indirizzo richiesto: %1")
                                     .arg(QString::fromStdString(req.get_header_value("Host"))),
                                 QStringLiteral("Non è stato cambiato nulla.")}));
        return httplib::Server::HandlerResponse::Handled;
    });
    for (const Rotta& rotta : rotte()) {
        d->http.Get(schema(rotta.percorso),
                    [this, &rotta](const httplib::Request& req, httplib::Response& res) {
                        d->servi(rotta, req, res, false);
                    });
        if (rotta.cambia())
            d->http.Post(schema(rotta.percorso),
                         [this, &rotta](const httplib::Request& req, httplib::Response& res) {
                             d->servi(rotta, req, res, true);
                         });
    }
    // Called for every answer of status 400 and up: the pages' own stay as they are.
    d->http.set_error_handler(httplib::Server::HandlerWithResponse(
        [this](const httplib::Request& req, httplib::Response& res) {
            if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
            if (res.status != 404) {
                d->rispondi(res,
                            {res.status,
                             QStringLiteral("Errore"),
                             QStringLiteral("Richiesta non eseguita (codice %1).").arg(res.status),
                             {}});
                return httplib::Server::HandlerResponse::Handled;
            }
            QStringList pagine{QStringLiteral("Pagine disponibili:")};
            for (const Rotta& r : rotte())
                pagine << r.percorso;
            d->rispondi(
                res,
                {404, QStringLiteral("Pagina non trovata"),
                 QStringLiteral("La pagina %1 non esiste.").arg(QString::fromStdString(req.path)),
                 pagine});
            return httplib::Server::HandlerResponse::Handled;
        }));
}

Server::~Server() = default;

int Server::apri() {
    int porta = d->impostazioni.porta;
    if (porta == 0)
        porta = d->http.bind_to_any_port("127.0.0.1");
    else if (!d->http.bind_to_port("127.0.0.1", porta))
        porta = -1;
    d->porta = porta;
    if (porta > 0) d->sorveglianza.avvia(porta);
    return porta;
}

bool Server::servi() {
    return d->http.listen_after_bind();
}

void Server::ferma() {
    d->http.stop();
    d->sorveglianza.ferma();
}
