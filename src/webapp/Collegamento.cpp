#include "Collegamento.h"

#include "app/Accesso.h"
#include "data/TDiz.h"
#include "db/Connection.h"
#include "platform/Errore.h"

#include <QAtomicInt>

Collegamento Collegamento::accedi(const QString& cartella) {
    TDiz diz;
    const Accesso::Esito esito = Accesso::esegui(diz, cartella, nullptr);
    if (esito.stato == Accesso::Stato::SenzaIni)
        throw Errore(QStringLiteral("File ip.ini non trovato nella cartella di lavoro"));
    if (!esito.collegato()) throw Errore(esito.messaggio);
    const Connection& c = *diz.xml_conn;
    Collegamento k{c.host(), c.database(), c.user(), c.password(), c.port()};
    Accesso::chiudiTabelle(diz);
    return k;
}

std::unique_ptr<Connection> Collegamento::apri() const {
    static QAtomicInt numero;
    auto c = std::make_unique<Connection>(
        QStringLiteral("gfe-web-%1").arg(numero.fetchAndAddRelaxed(1)));
    c->setHost(host);
    c->setDatabase(database);
    c->setUser(utente);
    c->setPassword(password);
    c->setPort(porta);
    c->connect();
    return c;
}
