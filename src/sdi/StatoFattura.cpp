#include "sdi/StatoFattura.h"

#include "db/Connection.h"

#include <QSqlQuery>

namespace {

// Later answers outrank earlier ones: an outcome or a lapse of terms follows the delivery,
// an attestation follows the undeliverable notice.
int rango(const QString& tipo) {
    if (tipo == u"NE") return 6;
    if (tipo == u"DT") return 5;
    if (tipo == u"NS") return 4;
    if (tipo == u"AT") return 3;
    if (tipo == u"RC") return 2;
    if (tipo == u"MC") return 1;
    return 0;
}

QString testoData(const QDateTime& d) {
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")) : QStringLiteral("-");
}

} // namespace

QString VoceStorico::riga() const {
    if (pec) return QStringLiteral("PEC %1 %2").arg(tipo, testoData(data));
    QString r = QStringLiteral("%1 %2 SdI %3").arg(tipo, testoData(data), identificativoSdi);
    if (!esito.isEmpty()) r += u' ' + esito;
    if (!descrizione.isEmpty()) r += u' ' + descrizione;
    return r;
}

QString parolaStato(bool inviata, const QList<std::pair<QString, QString>>& risposte) {
    QString tipo;
    QString esito;
    for (const auto& [t, e] : risposte) {
        if (rango(t) > rango(tipo)) {
            tipo = t;
            esito = e;
        }
    }
    if (tipo == u"NE")
        return esito == u"EC02" ? QStringLiteral("rifiutata") : QStringLiteral("accettata");
    if (tipo == u"DT") return QStringLiteral("decorrenza termini");
    if (tipo == u"NS") return QStringLiteral("scartata");
    if (tipo == u"AT" || tipo == u"MC") return QStringLiteral("non consegnata");
    if (tipo == u"RC") return QStringLiteral("consegnata");
    return inviata ? QStringLiteral("inviata") : QStringLiteral("da inviare");
}

bool statoFattura(Connection& c, int idInvio, StatoFattura& stato) {
    QString nomeFile;
    bool inviata = false;
    {
        const Statement st = c.exec(
            QStringLiteral("SELECT nome_file, inviata FROM testata WHERE id_invio = ?"), {idInvio});
        if (!st->next()) return false;
        nomeFile = st->value(0).toString();
        inviata = st->value(1).toInt() != 0;
    }
    stato = {};
    QList<std::pair<QString, QString>> risposte;
    QHash<int, int> perId;
    {
        const Statement st = c.exec(
            QStringLiteral("SELECT id, tipo, COALESCE(data_consegna, data_ricezione, registrata), "
                           "identificativo_sdi, nome_file, esito, descrizione, firma "
                           "FROM sdi_notifiche WHERE id_invio = ? OR (nome_file = ? AND nome_file "
                           "<> '') ORDER BY 3, id"),
            {idInvio, nomeFile});
        while (st->next()) {
            VoceStorico v;
            v.tipo = st->value(1).toString();
            v.data = st->value(2).toDateTime();
            v.identificativoSdi = st->value(3).toString();
            v.nomeFile = st->value(4).toString();
            v.esito = st->value(5).toString();
            v.descrizione = st->value(6).toString();
            v.firma = st->value(7).toString();
            if (v.nomeFile == nomeFile) risposte.append({v.tipo, v.esito});
            perId.insert(st->value(0).toInt(), int(stato.storico.size()));
            stato.storico.append(v);
        }
    }
    if (!perId.isEmpty()) {
        const Statement st = c.exec(
            QStringLiteral("SELECT e.notifica, e.codice, e.descrizione, e.suggerimento FROM "
                           "sdi_errori e JOIN sdi_notifiche n ON n.id = e.notifica WHERE "
                           "n.id_invio = ? OR (n.nome_file = ? AND n.nome_file <> '') ORDER BY "
                           "e.notifica, e.n"),
            {idInvio, nomeFile});
        while (st->next()) {
            const auto i = perId.constFind(st->value(0).toInt());
            if (i == perId.constEnd()) continue;
            stato.storico[*i].errori.append(
                {st->value(1).toString(), st->value(2).toString(), st->value(3).toString()});
        }
    }
    {
        const Statement st = c.exec(
            QStringLiteral("SELECT tipo, COALESCE(data, registrata), nome_file, firma FROM "
                           "sdi_ricevute_pec WHERE id_invio = ? OR (nome_file = ? AND nome_file "
                           "<> '') ORDER BY 2, id"),
            {idInvio, nomeFile});
        QList<VoceStorico> pec;
        while (st->next()) {
            VoceStorico v;
            v.pec = true;
            v.tipo = st->value(0).toString();
            v.data = st->value(1).toDateTime();
            v.nomeFile = st->value(2).toString();
            v.firma = st->value(3).toString();
            pec.append(v);
        }
        // One history in order of time, receipts before answers of the same moment.
        QList<VoceStorico> tutto;
        qsizetype i = 0;
        for (const VoceStorico& p : pec) {
            while (i < stato.storico.size() && stato.storico[i].data < p.data)
                tutto.append(stato.storico[i++]);
            tutto.append(p);
        }
        while (i < stato.storico.size())
            tutto.append(stato.storico[i++]);
        stato.storico = tutto;
    }
    stato.parola = parolaStato(inviata, risposte);
    return true;
}

QHash<int, QString> statiFatture(Connection& c) {
    QHash<int, QString> stati;
    QHash<int, QList<std::pair<QString, QString>>> risposte;
    QHash<int, bool> inviate;
    QSqlQuery q = c.exec(QStringLiteral(
        "SELECT t.id_invio, t.inviata, n.tipo, n.esito FROM testata t LEFT JOIN sdi_notifiche n "
        "ON n.nome_file = t.nome_file AND t.nome_file <> ''"));
    while (q.next()) {
        const int id = q.value(0).toInt();
        inviate.insert(id, q.value(1).toInt() != 0);
        if (!q.value(2).isNull())
            risposte[id].append({q.value(2).toString(), q.value(3).toString()});
    }
    for (auto i = inviate.cbegin(); i != inviate.cend(); ++i)
        stati.insert(i.key(), parolaStato(i.value(), risposte.value(i.key())));
    return stati;
}

QStringList notificheNonAbbinate(Connection& c) {
    QStringList righe;
    QSqlQuery q = c.exec(QStringLiteral(
        "SELECT n.tipo, n.nome_messaggio, n.nome_file, n.identificativo_sdi FROM sdi_notifiche n "
        "WHERE n.id_invio IS NULL AND NOT EXISTS (SELECT 1 FROM testata t WHERE t.nome_file = "
        "n.nome_file) ORDER BY n.id DESC"));
    while (q.next())
        righe << QStringLiteral("%1 %2 per %3 (SdI %4)")
                     .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                          q.value(3).toString());
    return righe;
}
