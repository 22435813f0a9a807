#include "PaginaIniziale.h"

#include "Canale.h"
#include "Impostazioni.h"
#include "Richiesta.h"
#include "db/Connection.h"
#include "platform/Errore.h"

Risposta paginaIniziale(Richiesta& richiesta) {
    Risposta r;
    r.titolo = QStringLiteral("GFE - invio delle fatture allo SDI");
    r.esito = QStringLiteral("gfe-web consegna allo SDI i file XML delle fatture di vendita e "
                             "carica le fatture di acquisto ricevute.");
    r.dettagli << QStringLiteral("Canale di invio: ") + richiesta.canale().descrizione()
               << QStringLiteral("Cartella delle fatture ricevute: ") +
                      richiesta.impostazioni().ricevute
               << QStringLiteral("Le pagine si aprono dai pulsanti \"Invio a SDI\", \"Invio "
                                 "P.A.\", \"Invio Fatture al SDI\" e \"Invio Carico\" di GFE.");
    try {
        Connection& c = richiesta.connessione();
        {
            QSqlQuery a =
                c.exec(QStringLiteral("SELECT path FROM azienda ORDER BY codice LIMIT 1"));
            r.dettagli.insert(1, QStringLiteral("Cartella dei file da inviare: ") +
                                     (a.next() ? a.value(0).toString() : QString()));
        }
        const Statement st = c.exec(
            QStringLiteral("SELECT k.inizio, t.num_doc, t.data_doc, k.id_invio, k.nome_file, "
                           "k.stato, k.messaggio FROM gfe_consegne k LEFT JOIN testata t "
                           "ON t.id_invio = k.id_invio ORDER BY k.id DESC LIMIT 20"),
            {});
        QSqlQuery& q = *st;
        while (q.next()) {
            const QString numero = q.value(1).toString().trimmed();
            const QString data = q.value(2).toString().trimmed();
            r.righe << QStringList{
                q.value(0).toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")),
                (numero.isEmpty() ? QStringLiteral("senza numero")
                                  : QStringLiteral("n. ") + numero) +
                    (data.isEmpty() ? QString() : QStringLiteral(" del ") + data),
                q.value(3).toString(),
                q.value(4).toString(),
                q.value(5).toString(),
                q.value(6).toString()};
        }
        r.colonne = {QStringLiteral("Quando"), QStringLiteral("Fattura"), QStringLiteral("Chiave"),
                     QStringLiteral("File"),   QStringLiteral("Stato"),   QStringLiteral("Esito")};
        r.dettagli << (r.righe.isEmpty()
                           ? QStringLiteral("Nessuna consegna registrata.")
                           : QStringLiteral("Ultime consegne (%1), dalla più recente:")
                                 .arg(r.righe.size()));
    } catch (const Errore& e) {
        r.dettagli << QStringLiteral("Le consegne non si possono leggere: ") + e.messaggio();
    }
    return r;
}
