#pragma once

#include "platform/Errore.h"

#include <QString>
#include <memory>
#include <optional>

struct Impostazioni;
struct ImpostazioniPec;

// The hand-off failed; the message says why, in the words of whoever refused.
GFE_ERRORE(ErroreCanale);
// The exchange broke after the file had left: it may have arrived. The message says
// what to check before sending again.
GFE_ERRORE(ErroreCanaleIncerto);

// The way an invoice file leaves for the exchange system. Shared by the request
// threads: consegna() keeps no state between calls.
class Canale {
public:
    virtual ~Canale() = default;
    // Hands over the file `nome` with content `dati` (read once, by the caller);
    // returns a sentence saying where it went. Throws ErroreCanale.
    virtual QString consegna(const QString& nome, const QByteArray& dati) const = 0;
    // What a hand-off does, as it completes "La fattura ... è stata ...".
    virtual QString fatto() const = 0;
    // Where the file goes, as it completes "Canale: ...".
    virtual QString descrizione() const = 0;
    // Whether a hand-off of this file completed, when the channel can tell.
    virtual std::optional<bool> consegnato(const QString&, const QByteArray&) const {
        return std::nullopt;
    }
    // The channel's name in the settings ("cartella", "pec").
    virtual QString nome() const = 0;
};

// "cartella": the file is copied into the outbox folder.
class CanaleCartella : public Canale {
public:
    explicit CanaleCartella(const QString& uscita) : m_uscita(uscita) {}
    // Written under a temporary name, then linked under its own: an existing file
    // of that name is never replaced (one with the same content counts as delivered).
    QString consegna(const QString& nome, const QByteArray& dati) const override;
    QString fatto() const override;
    QString descrizione() const override;
    // The outbox holds the file with this content.
    std::optional<bool> consegnato(const QString& nome, const QByteArray& dati) const override;
    QString nome() const override { return QStringLiteral("cartella"); }

private:
    QString m_uscita;
};

// "pec": the file is e-mailed as an attachment through the business's certified
// mailbox, over SMTP with TLS.
class CanalePec : public Canale {
public:
    explicit CanalePec(const ImpostazioniPec& pec);
    ~CanalePec() override;
    QString consegna(const QString& nome, const QByteArray& dati) const override;
    QString fatto() const override;
    QString descrizione() const override;
    QString nome() const override { return QStringLiteral("pec"); }

private:
    std::unique_ptr<ImpostazioniPec> m_pec;
};

std::unique_ptr<Canale> creaCanale(const Impostazioni& impostazioni);
