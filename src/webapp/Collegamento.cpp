#include "Collegamento.h"

#include "app/Accesso.h"
#include "app/IpIni.h"
#include "data/Migrazioni.h"
#include "db/Connection.h"
#include "platform/Errore.h"

#include <QAtomicInt>

Collegamento Collegamento::accedi(const QString& cartella) {
    if (!IpIni::esiste(cartella))
        throw Errore(QStringLiteral("File ip.ini non trovato nella cartella di lavoro"));
    Collegamento k{Accesso::impostazioni(IpIni::leggi(cartella))};
    applicaMigrazioni(*k.apri());
    return k;
}

std::unique_ptr<Connection> Collegamento::apri() const {
    static QAtomicInt numero;
    auto c = std::make_unique<Connection>(
        QStringLiteral("gfe-web-%1").arg(numero.fetchAndAddRelaxed(1)));
    impostazioni.applyTo(*c);
    c->connect();
    return c;
}
