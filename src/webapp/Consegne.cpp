#include "Consegne.h"

#include "Canale.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "platform/LetturaFile.h"

#include <QDir>
#include <optional>

namespace Consegne {

bool inCorsoPer(Connection& c, int idInvio) {
    const Statement st =
        c.exec(QStringLiteral("SELECT id FROM gfe_consegne WHERE in_corso=?"), {idInvio});
    return st->next();
}

int inizia(Connection& c, int idInvio, const QString& nomeFile, const QString& canale) {
    const Statement st = c.exec(
        QStringLiteral("INSERT INTO gfe_consegne (id_invio, nome_file, canale, stato, inizio, "
                       "in_corso) VALUES (?, ?, ?, ?, NOW(), ?)"),
        {idInvio, nomeFile, canale, inCorso, idInvio});
    return st->lastInsertId().toInt();
}

void chiudi(Connection& c, int consegna, const QString& stato, const QString& messaggio) {
    c.exec(QStringLiteral("UPDATE gfe_consegne SET stato=?, messaggio=?, fine=NOW(), "
                          "in_corso=NULL WHERE id=?"),
           {stato, messaggio, consegna});
}

QString ultimaIncerta(Connection& c, int idInvio) {
    const Statement st = c.exec(QStringLiteral("SELECT stato, messaggio, inizio FROM gfe_consegne "
                                               "WHERE id_invio=? ORDER BY id DESC LIMIT 1"),
                                {idInvio});
    QSqlQuery& q = *st;
    if (!q.next() || q.value(0).toString() != incerta) return {};
    return QStringLiteral("Attenzione: l'invio precedente di questa fattura (%1) ha avuto esito "
                          "incerto: %2")
        .arg(q.value(2).toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")),
             q.value(1).toString());
}

QStringList riprendi(Connection& c, const Canale& canale) {
    struct Interrotta {
        int id;
        int idInvio;
        QString nomeFile;
    };
    QList<Interrotta> interrotte;
    {
        QSqlQuery q = c.exec(QStringLiteral(
            "SELECT id, id_invio, nome_file FROM gfe_consegne WHERE in_corso IS NOT NULL"));
        while (q.next())
            interrotte << Interrotta{q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString()};
    }
    if (interrotte.isEmpty()) return {};
    QString cartella;
    {
        QSqlQuery a = c.exec(QStringLiteral("SELECT path FROM azienda ORDER BY codice LIMIT 1"));
        if (a.next()) cartella = a.value(0).toString();
    }
    QStringList esiti;
    for (const Interrotta& i : interrotte) {
        const LetturaFile file = LetturaFile::leggi(QDir(cartella).absoluteFilePath(i.nomeFile),
                                                    ValidatoreFatturaPA::massimoByte, false);
        const std::optional<bool> arrivato =
            file.letto() ? canale.consegnato(i.nomeFile, file.contenuto) : std::nullopt;
        QString stato, messaggio;
        if (arrivato == true) {
            stato = consegnata;
            messaggio = QStringLiteral("Invio interrotto, ma il file %1 era già stato consegnato "
                                       "(%2): la fattura è segnata come inviata.")
                            .arg(i.nomeFile, canale.descrizione());
        } else if (arrivato == false) {
            stato = fallita;
            messaggio = QStringLiteral("Invio interrotto prima della consegna del file %1: la "
                                       "fattura resta da inviare.")
                            .arg(i.nomeFile);
        } else {
            stato = incerta;
            messaggio = QStringLiteral("Invio del file %1 interrotto (%2): controllare se è "
                                       "arrivato prima di inviarlo di nuovo.")
                            .arg(i.nomeFile, canale.descrizione());
        }
        Transaction t(c);
        if (stato == consegnata)
            c.exec(QStringLiteral("UPDATE testata SET inviata=1 WHERE id_invio=?"), {i.idInvio});
        chiudi(c, i.id, stato, messaggio);
        t.commit();
        esiti << QStringLiteral("fattura con chiave %1: %2")
                     .arg(QString::number(i.idInvio), messaggio);
    }
    return esiti;
}

} // namespace Consegne
