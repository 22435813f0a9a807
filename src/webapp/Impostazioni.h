#pragma once

#include "platform/Errore.h"
#include "sdi/CasellaPec.h"

#include <QString>
#include <QStringList>

// A settings file or a command-line option that cannot be used.
GFE_ERRORE(ErroreImpostazioni);

// The mailbox through which the "pec" channel sends: SMTP with TLS, implicit
// (usually port 465) or negotiated with STARTTLS (usually port 587).
struct ImpostazioniPec {
    QString host;
    int porta = 0; // 0: 465 for "implicito", 587 for "starttls"
    QString sicurezza = QStringLiteral("implicito");
    QString utente;
    QString password;
    QString mittente;
    QString destinatario;
    QString certificati; // file of the authorities to trust instead of the system's
};

// Settings of gfe-web: the file gfe-web.ini of the working folder (or --config),
// overridden by the command-line options. Relative folders are taken from the
// working folder.
struct Impostazioni {
    int porta = 8780; // 0: any free port
    QString canale = QStringLiteral("cartella");
    QString uscita;   // outbox of the "cartella" channel
    QString ricevute; // received files
    ImpostazioniPec pec;
    ImpostazioniCasella casella; // the same file's mailbox, read over IMAP

    // argomenti[0] is the program name. Throws ErroreImpostazioni.
    static Impostazioni leggi(const QStringList& argomenti, const QString& cartella);
    // Reads a settings file only. Throws ErroreImpostazioni.
    static Impostazioni leggiFile(const QString& file, const QString& cartella);
};
