#include "InvioLotto.h"

#include "InvioFattura.h"
#include "Richiesta.h"
#include "db/Connection.h"

namespace {

struct Voce {
    int id = 0;
    QString nomeFile;
    QString fattura; // "n. 12 del 03/02/2023"
    QString cliente;
    QString totale;
};

// The invoices not sent, in key order; an unknown sent state (NULL) is left out.
QList<Voce> daInviare(Connection& c) {
    QList<Voce> voci;
    QSqlQuery q = c.exec(QStringLiteral(
        "SELECT id_invio, nome_file, num_doc, data_doc, rag_soc, tot_doc FROM testata "
        "WHERE inviata=0 ORDER BY id_invio"));
    while (q.next()) {
        Voce v;
        v.id = q.value(0).toInt();
        v.nomeFile = q.value(1).toString();
        const QString numero = q.value(2).toString().trimmed();
        const QString data = q.value(3).toString().trimmed();
        v.fattura =
            (numero.isEmpty() ? QStringLiteral("senza numero") : QStringLiteral("n. ") + numero) +
            (data.isEmpty() ? QString() : QStringLiteral(" del ") + data);
        v.cliente = q.value(4).toString().trimmed();
        v.totale = q.value(5).toString().trimmed();
        voci << v;
    }
    return voci;
}

// The details of a refusal without the sentences every refusal ends with.
QString motivo(const Risposta& r) {
    QStringList d;
    for (const QString& riga : r.dettagli)
        if (riga != QLatin1String("Non è stato inviato nulla.") &&
            riga != QLatin1String("La fattura resta da inviare."))
            d << riga;
    return d.join(QStringLiteral("; "));
}

} // namespace

Risposta paginaLotto(Richiesta& richiesta, bool esegui) {
    Connection& c = richiesta.connessione();
    const QList<Voce> voci = daInviare(c);
    Risposta r;
    r.titolo = QStringLiteral("Invio Fatture al SDI");
    r.colonne = {QStringLiteral("Fattura"), QStringLiteral("Chiave"), QStringLiteral("Cliente"),
                 QStringLiteral("Totale"),  QStringLiteral("File"),   QStringLiteral("Esito")};
    int pronte = 0, inviate = 0, rifiutate = 0, guasti = 0;
    for (const Voce& v : voci) {
        QString esito;
        if (v.nomeFile.isEmpty()) {
            esito = QStringLiteral("Non inviata: la fattura non ha ancora un file XML.");
            ++rifiutate;
        } else {
            const Risposta una =
                esegui ? inviaFattura(c, richiesta.canale(), v.nomeFile, v.id, false)
                       : anteprimaInvio(c, richiesta.canale(), v.nomeFile, v.id, false);
            if (una.stato == 200) {
                esito = esegui ? una.esito
                               : QStringLiteral("Da inviare: supera i controlli dello SDI.");
                ++(esegui ? inviate : pronte);
            } else {
                esito = QStringLiteral("Non inviata: ") + una.esito;
                const QString perche = motivo(una);
                if (!perche.isEmpty()) esito += QLatin1Char(' ') + perche;
                ++(una.stato == 502 || una.stato == 504 ? guasti : rifiutate);
            }
        }
        r.righe << QStringList{v.fattura, QString::number(v.id), v.cliente, v.totale, v.nomeFile,
                               esito};
    }
    if (!esegui) {
        r.esito = pronte == 0
                      ? QStringLiteral("Nessuna fattura da inviare.")
                      : QStringLiteral("Fatture pronte per l'invio: %1 (su %2 non ancora inviate).")
                            .arg(QString::number(pronte), QString::number(voci.size()));
        if (pronte > 0) r.pulsante = QStringLiteral("Invia %1 fatture allo SDI").arg(pronte);
        return r;
    }
    // Refusals are the table's business; a channel that failed is the page's.
    r.stato = guasti > 0 ? 502 : 200;
    r.esito = QStringLiteral("Fatture inviate: %1; non inviate: %2.")
                  .arg(QString::number(inviate), QString::number(rifiutate + guasti));
    if (guasti > 0)
        r.dettagli << QStringLiteral("Il canale di invio non ha funzionato per %1 fatture: restano "
                                     "da inviare.")
                          .arg(guasti);
    return r;
}
