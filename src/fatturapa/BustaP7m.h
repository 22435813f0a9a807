#pragma once

#include <QByteArray>
#include <QString>

// A signed FatturaPA file (".xml.p7m"): a CMS signed-data envelope, DER or
// base64-encoded DER, that holds the XML document. The envelope is opened to
// the document inside; the signature is checked against the certificates the
// system trusts, and its outcome is only reported.
class BustaP7m {
public:
    enum class Firma {
        Valida,        // signature and certificate chain verified
        NonVerificata, // signature intact, certificate chain not verifiable here
        NonValida      // the signature does not match the content
    };

    struct Contenuto {
        bool aperta = false;  // false: no envelope could be read (see errore)
        QByteArray documento; // the XML inside
        Firma firma = Firma::NonValida;
        QString errore; // why the envelope could not be opened (Italian)

        // One Italian sentence on the signature, for the user.
        QString descrizioneFirma() const;
    };

    BustaP7m() = delete;

    // True for a name ending in ".p7m" (any letter case).
    static bool firmato(const QString& nomeFile);
    static Contenuto apri(const QByteArray& dati);
};
