#include "Server.h"

#include "Impostazioni.h"
#include "Rotte.h"
#include "platform/Errore.h"

#include <httplib.h>

#include <QRegularExpression>
#include <exception>

struct Server::Dati {
    const Impostazioni& impostazioni;
    const Collegamento& collegamento;
    const Canale& canale;
    httplib::Server http;
};

namespace {

void rispondi(httplib::Response& res, const Risposta& r) {
    res.status = r.stato;
    const QByteArray html = paginaHtml(r);
    res.set_content(html.constData(), size_t(html.size()), "text/html; charset=utf-8");
}

// The pages' paths are matched literally.
std::string schema(const QString& percorso) {
    return QRegularExpression::escape(percorso).toStdString();
}

} // namespace

Server::Server(const Impostazioni& impostazioni, const Collegamento& collegamento,
               const Canale& canale)
    : d(new Dati{impostazioni, collegamento, canale, {}}) {
    // The batch of the invoice window opens one page per unsent invoice at once.
    d->http.new_task_queue = [] { return new httplib::ThreadPool(32); };
    d->http.set_keep_alive_max_count(1);
    for (const Rotta& rotta : rotte()) {
        d->http.Get(schema(rotta.percorso), [this, &rotta](const httplib::Request& req,
                                                           httplib::Response& res) {
            QHash<QString, QString> parametri;
            for (const auto& [nome, valore] : req.params)
                parametri.insert(QString::fromStdString(nome), QString::fromUtf8(valore.c_str()));
            Richiesta richiesta(std::move(parametri), d->impostazioni, d->collegamento, d->canale);
            Risposta r;
            try {
                r = rotta.pagina(richiesta);
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
            rispondi(res, r);
        });
    }
    // Called for every answer of status 400 and up: the pages' own stay as they are.
    d->http.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request& req,
                                                                      httplib::Response& res) {
        if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        if (res.status != 404) {
            rispondi(res, {res.status,
                           QStringLiteral("Errore"),
                           QStringLiteral("Richiesta non eseguita (codice %1).").arg(res.status),
                           {}});
            return httplib::Server::HandlerResponse::Handled;
        }
        QStringList pagine{QStringLiteral("Pagine disponibili:")};
        for (const Rotta& r : rotte())
            pagine << r.percorso;
        rispondi(res,
                 {404, QStringLiteral("Pagina non trovata"),
                  QStringLiteral("La pagina %1 non esiste.").arg(QString::fromStdString(req.path)),
                  pagine});
        return httplib::Server::HandlerResponse::Handled;
    }));
}

Server::~Server() = default;

int Server::apri() {
    if (d->impostazioni.porta == 0) return d->http.bind_to_any_port("127.0.0.1");
    return d->http.bind_to_port("127.0.0.1", d->impostazioni.porta) ? d->impostazioni.porta : -1;
}

bool Server::servi() {
    return d->http.listen_after_bind();
}

void Server::ferma() {
    d->http.stop();
}
