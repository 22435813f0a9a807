#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

// Messages of the certified mailbox and files of the exchange system as the tests need
// them, made on the spot: a certificate authority of the tests with a signer it certified,
// the exchange system's answers in either namespace, PEC envelopes signed by that signer.
class PostaProva {
public:
    PostaProva();
    ~PostaProva();

    // The authority's certificate (PEM) written to `file`, to be trusted by the reader.
    void scriviAutorita(const QString& file) const;
    // A server certificate for 127.0.0.1 issued by the authority, and its key (PEM).
    void scriviServer(const QString& certificato, const QString& chiave) const;

    struct Errore {
        QString codice, descrizione, suggerimento;
    };
    // An answer of type RC, NS, MC, NE, DT, AT or MT about file `nomeFile`; `vecchio`
    // writes the older namespace. `esito` is NE's EC01 / EC02.
    static QByteArray notifica(const QString& tipo, const QString& nomeFile, const QString& idSdi,
                               bool vecchio = false, const QList<Errore>& errori = {},
                               const QString& esito = {});
    // The name the exchange system gives its answer: "<file without .xml>_<tipo>_<nnn>.xml".
    static QString nomeNotifica(const QString& nomeFile, const QString& tipo, int n = 1);

    struct Allegato {
        QString nome;
        QByteArray dati;
    };
    // The exchange system's own message, with its files attached.
    static QByteArray messaggio(const QString& oggetto, const QList<Allegato>& allegati,
                                const QString& messageId);
    // The provider's envelope around `originale` (postacert.eml; none when empty), with
    // daticert.xml of type `tipo` unless `daticert` is false; `ricevuta` fills X-Ricevuta
    // (a receipt). Signed by the test signer unless `firmata` is false.
    QByteArray busta(const QString& oggetto, const QByteArray& originale, const QString& tipo,
                     const QString& messageId, const QString& ricevuta = {}, bool daticert = true,
                     bool firmata = true) const;
    // `contenuto` signed with content inside (".p7m"), DER.
    QByteArray p7m(const QByteArray& contenuto) const;

private:
    struct Dati;
    std::unique_ptr<Dati> d;
};
