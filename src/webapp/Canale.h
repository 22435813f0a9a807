#pragma once

#include "platform/Errore.h"

#include <QString>
#include <memory>

struct Impostazioni;
struct ImpostazioniPec;

// The hand-off failed; the message says why, in the words of whoever refused.
GFE_ERRORE(ErroreCanale);

// The way an invoice file leaves for the exchange system. Shared by the request
// threads: consegna() keeps no state between calls.
class Canale {
public:
    virtual ~Canale() = default;
    // Hands the file over; returns a sentence saying where it went. Throws ErroreCanale.
    virtual QString consegna(const QString& percorso) const = 0;
};

// "cartella": the file is copied into the outbox folder.
class CanaleCartella : public Canale {
public:
    explicit CanaleCartella(const QString& uscita) : m_uscita(uscita) {}
    // Written under a temporary name, then linked under its own: an existing file
    // of that name is never replaced (one with the same content counts as delivered).
    QString consegna(const QString& percorso) const override;

private:
    QString m_uscita;
};

// "pec": the file is e-mailed as an attachment through the business's certified
// mailbox, over SMTP with TLS.
class CanalePec : public Canale {
public:
    explicit CanalePec(const ImpostazioniPec& pec);
    ~CanalePec() override;
    QString consegna(const QString& percorso) const override;

private:
    std::unique_ptr<ImpostazioniPec> m_pec;
};

std::unique_ptr<Canale> creaCanale(const Impostazioni& impostazioni);
