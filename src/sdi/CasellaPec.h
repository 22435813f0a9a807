#pragma once

#include "platform/Errore.h"

#include <QByteArray>
#include <QList>
#include <QString>

class Connection;
struct ContiNotifiche;
class LettoreNotifiche;

// The mailbox could not be read; the message says why, in the server's words.
GFE_ERRORE(ErroreCasella);

// The certified mailbox as gfe-web.ini describes it: the received folder and the [pec]
// keys (IMAP server, log-in, authorities, reading interval).
struct ImpostazioniCasella {
    QString host;        // [pec] imap_host, or [pec] host
    int porta = 993;     // [pec] imap_porta
    QString utente;      // [pec] utente
    QString password;    // [pec] password
    QString certificati; // [pec] certificati
    QString casella = QStringLiteral("INBOX");
    int intervallo = 5; // [pec] intervallo, minutes; 0: no periodic reading
    QString ricevute;   // ricevute

    // Reads gfe-web.ini (or another file) of the working folder `cartella`; a missing file
    // gives the defaults. A password in a file that group or others can read is refused.
    // Throws ErroreCasella.
    static ImpostazioniCasella leggi(const QString& file, const QString& cartella);
};

// The mailbox over IMAP with TLS from the start: the unread messages of the inbox are
// fetched whole, one at a time, processed by the reader and then marked as read; a message
// whose processing fails is left unread for the next reading.
class CasellaPec {
public:
    explicit CasellaPec(const ImpostazioniCasella& impostazioni);
    ~CasellaPec();
    CasellaPec(const CasellaPec&) = delete;
    CasellaPec& operator=(const CasellaPec&) = delete;

    // UIDs of the unread messages. Throws ErroreCasella.
    QList<qint64> nonLetti();
    // The whole message. Throws ErroreCasella.
    QByteArray preleva(qint64 uid);
    // Marks the message read (or unread again). Throws ErroreCasella.
    void segnaLetto(qint64 uid, bool letto = true);

    // Reads every unread message into `lettore`; returns how many were read.
    // Throws ErroreCasella (the mailbox) or DbError (the database).
    int leggi(LettoreNotifiche& lettore);

private:
    QByteArray esegui(const QString& percorso, const QString& comando);

    ImpostazioniCasella m_i;
    void* m_curl = nullptr;
};
