#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// A file attached to a message.
struct Allegato {
    QString nome;
    QByteArray dati;
};

// A message of the certified mailbox (PEC), as saved from it or fetched whole. A PEC
// message is a signed envelope (multipart/signed) holding a text, daticert.xml (the
// provider's data of the message) and the original message postacert.eml, to which the
// exchange system's file is attached; some carry no daticert.xml. The provider's own
// receipts (acceptance, delivery and non-delivery of the mail itself) say so in the
// header X-Ricevuta and in daticert.xml.
struct MessaggioPosta {
    enum class Firma { Assente, Valida, NonVerificabile, NonValida };

    bool letto = false;
    QString errore; // why it could not be read (Italian)
    QString messageId;
    QString oggetto;
    QDateTime data;
    QString ricevuta; // the provider's receipt type ("accettazione", "avvenuta-consegna", ...),
                      // empty for a message that is not a receipt
    Firma firma = Firma::Assente;
    QString daticertTipo;
    QString daticertOggetto;
    QString daticertIdentificativo;
    QDateTime daticertData;
    // The files of the original message (postacert.eml) or, without it, of the message
    // itself; the envelope's own parts (daticert.xml, the signature) are not among them.
    QList<Allegato> allegati;
};

// Reads a whole message. The envelope's signature is checked against the system's
// authorities and those of the file `certificati` (PEM, when given); the message is read
// whatever the outcome.
MessaggioPosta leggiPosta(const QByteArray& eml, const QString& certificati = {});

// "valida", "non verificabile", "non valida", "assente".
QString testoFirma(MessaggioPosta::Firma firma);
