#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A Dovecot IMAP server of the test's own: its configuration, certificate and mailbox
// under a temporary folder, TLS from the start on a free loopback port, one user whose
// messages the test places into the mailbox folder.
class DovecotProva {
public:
    // `certificato` and `chiave`: the server's PEM files.
    DovecotProva(const QString& certificato, const QString& chiave);
    ~DovecotProva();

    bool avviato() const { return m_porta > 0; }
    QString errore() const { return m_errore; }
    int porta() const { return m_porta; }
    static QString utente() { return QStringLiteral("azienda"); }
    static QString password() { return QStringLiteral("segreta"); }
    // Puts a message into the inbox, unread.
    void consegna(const QByteArray& messaggio);

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    int m_porta = 0;
    int m_numero = 0;
    QString m_errore;
};
