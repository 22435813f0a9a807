#pragma once

#include "sdi/MessaggioSdi.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

class Connection;

// One step of an invoice's life after the hand-off: an answer of the exchange system or a
// receipt of the certified mailbox's provider.
struct VoceStorico {
    bool pec = false; // a provider's receipt
    QString tipo;     // RC, NS, ... or the receipt's type ("accettazione", ...)
    QDateTime data;
    QString identificativoSdi;
    QString nomeFile; // the invoice file it is about
    QString esito;    // NE: EC01 / EC02
    QString descrizione;
    QString firma;
    QList<ErroreSdi> errori;

    // "RC 10/12/2026 10:05:00 SdI 123" / "PEC accettazione 10/12/2026 10:00:00"
    QString riga() const;
};

// The state of an invoice: its word and its history, oldest first.
struct StatoFattura {
    QString parola;
    QList<VoceStorico> storico;
};

// The state word from the invoice's inviata and the answers to the file it holds now
// (type and, for NE, outcome): "da inviare", "inviata", "consegnata", "scartata",
// "non consegnata", "accettata", "rifiutata", "decorrenza termini".
QString parolaStato(bool inviata, const QList<std::pair<QString, QString>>& risposte);

// The state and history of invoice idInvio: the answers and receipts about any file it
// has held. False when there is no such invoice.
bool statoFattura(Connection& c, int idInvio, StatoFattura& stato);

// The state word of every invoice, by id_invio, in one query.
QHash<int, QString> statiFatture(Connection& c);

// The answers that match no invoice, newest first: one line each.
QStringList notificheNonAbbinate(Connection& c);
