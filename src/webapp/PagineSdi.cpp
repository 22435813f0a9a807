#include "PagineSdi.h"

#include "Impostazioni.h"
#include "Rotte.h"
#include "db/DbError.h"
#include "sdi/LetturaPosta.h"
#include "sdi/StatoFattura.h"

namespace {

Risposta erroreDatabase(const DbError& e) {
    return {500, QStringLiteral("Errore del database"), e.messaggio(), {}};
}

} // namespace

Risposta paginaStato(Richiesta& r) {
    bool ok = false;
    const int id = r.parametro(QStringLiteral("n_invio")).toInt(&ok);
    if (!r.ha(QStringLiteral("n_invio")) || !ok || id <= 0)
        return {400,
                QStringLiteral("Richiesta non valida"),
                QStringLiteral("Indicare la fattura con n_invio=N (un numero)."),
                {}};
    try {
        StatoFattura s;
        if (!statoFattura(r.connessione(), id, s))
            return {404,
                    QStringLiteral("Fattura non trovata"),
                    QStringLiteral("Nessuna fattura con Id. Invio %1.").arg(id),
                    {}};
        Risposta p{200,
                   QStringLiteral("Stato della fattura Id. Invio %1").arg(id),
                   QStringLiteral("stato: ") + s.parola,
                   {}};
        for (const VoceStorico& v : s.storico) {
            p.dettagli << v.riga();
            for (const ErroreSdi& e : v.errori)
                p.dettagli << QStringLiteral("  %1 %2%3")
                                  .arg(e.codice, e.descrizione,
                                       e.suggerimento.isEmpty()
                                           ? QString()
                                           : QStringLiteral(" (") + e.suggerimento + u')');
        }
        if (s.storico.isEmpty()) p.dettagli << QStringLiteral("Nessuna risposta dello SDI.");
        return p;
    } catch (const DbError& e) {
        return erroreDatabase(e);
    }
}

Risposta paginaPosta(Richiesta& r) {
    try {
        const QStringList non = notificheNonAbbinate(r.connessione());
        Risposta p{
            200, QStringLiteral("Lettura della posta PEC"),
            QStringLiteral("Risposte dello SDI non abbinate ad alcuna fattura: %1").arg(non.size()),
            non};
        return p;
    } catch (const DbError& e) {
        return erroreDatabase(e);
    }
}

Risposta leggiPosta(Richiesta& r) {
    try {
        const EsitoLetturaPosta e = leggiPostaPec(r.connessione(), r.impostazioni().casella);
        Risposta p{e.riuscita ? 200 : 502, QStringLiteral("Lettura della posta PEC"),
                   e.riuscita ? e.conti.riga() : e.errore, e.righe};
        if (!e.riuscita) p.dettagli << e.conti.riga();
        return p;
    } catch (const DbError& e) {
        return erroreDatabase(e);
    } catch (const ErroreCasella& e) {
        return {502, QStringLiteral("Lettura della posta PEC"), e.messaggio(), {}};
    }
}
