#pragma once

#include <QString>
#include <QStringList>

class Canale;
class Connection;

// The hand-offs of invoice files to the channel (table gfe_consegne), each recorded
// as in progress before the file leaves, so that neither a second request nor a
// stopped process can leave the sent mark lying. At most one hand-off of an invoice
// is in progress at a time (a unique key on `in_corso`).
namespace Consegne {

inline const QString inCorso = QStringLiteral("in corso");
inline const QString consegnata = QStringLiteral("consegnata");
inline const QString fallita = QStringLiteral("fallita");
inline const QString incerta = QStringLiteral("incerta");

// True when a hand-off of the invoice is in progress.
bool inCorsoPer(Connection& c, int idInvio);
// Records the hand-off as in progress; returns its id. Throws DbError.
int inizia(Connection& c, int idInvio, const QString& nomeFile, const QString& canale);
// Closes it with its outcome (consegnata, fallita, incerta) and the channel's words.
void chiudi(Connection& c, int consegna, const QString& stato, const QString& messaggio);
// The words of the last hand-off of the invoice whose outcome stayed uncertain,
// empty when the last one was not uncertain.
QString ultimaIncerta(Connection& c, int idInvio);

// At start: the hand-offs a stopped process left in progress are resolved where the
// channel can tell (the folder channel looks for the file in its outbox: there, the
// invoice is marked as sent; missing, the hand-off failed), otherwise recorded as
// uncertain with what to check. One sentence per hand-off resolved.
QStringList riprendi(Connection& c, const Canale& canale);

} // namespace Consegne
