#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class Connection;
struct FileSdi;
struct MessaggioPosta;

// What a reading found, by kind: new answers of the exchange system attached to an
// invoice, supplier invoices loaded, the provider's receipts recorded, items recorded
// before, answers matching no invoice (kept all the same), unreadable items.
struct ContiNotifiche {
    int notifiche = 0;
    int fatture = 0;
    int ricevute = 0;
    int giaRegistrate = 0;
    int nonAbbinate = 0;
    int illeggibili = 0;

    // "notifiche N, fatture ricevute M, ricevute PEC R, gia registrate G, non abbinate K,
    // illeggibili J"
    QString riga() const;
    ContiNotifiche& operator+=(const ContiNotifiche& altri);
};

// Reads the exchange system's messages into the invoice database of a connection: its
// answers matched to the invoice whose nome_file they name (a rejection gives the invoice
// back to the user: inviata is cleared, and its file name is never written again), the
// provider's receipts recorded as steps of the hand-off, supplier invoices saved into the
// received folder and loaded as the reading page loads them. Every message and file is
// recorded once, however often and by however many readers at once it is read: a unique
// key on what identifies it decides. An unreadable message is kept aside with its reason
// and the others go on. Database errors are thrown (DbError): the run itself failed.
class LettoreNotifiche {
public:
    // `ricevute`: folder of the received invoice files; `certificati`: a PEM file of
    // further authorities to trust for the envelopes' signatures.
    LettoreNotifiche(Connection& connessione, const QString& ricevute,
                     const QString& certificati = {});

    // A message as the mailbox holds it; `origine` names it in the lines.
    void messaggio(const QByteArray& eml, const QString& origine);
    // A bare file of the exchange system (".xml", ".xml.p7m") named `nome`.
    void file(const QByteArray& dati, const QString& nome, const QString& origine);
    // A saved message (".eml"), a bare file or a folder of them.
    void percorso(const QString& percorso);

    // The lines written since the last call, one per item: what it was and what it was
    // attached to.
    QStringList prendiRighe();
    const ContiNotifiche& conti() const { return m_conti; }

private:
    void notifica(const FileSdi& f, const QString& nome, const QByteArray& dati,
                  const QString& firma, const QString& origine);
    void ricevutaPec(const MessaggioPosta& p, const QByteArray& eml, const QString& origine);
    void fatturaRicevuta(const QString& nome, const QByteArray& dati, const QString& identificativo,
                         const QByteArray& metadati, const QString& origine);
    void illeggibile(const QByteArray& dati, const QString& origine, const QString& motivo);
    void riga(const QString& origine, const QString& testo);

    Connection& m_c;
    QString m_ricevute;
    QString m_certificati;
    QStringList m_righe;
    ContiNotifiche m_conti;
};
