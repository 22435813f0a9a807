#include "Rotte.h"

#include "Collegamento.h"
#include "InvioFattura.h"
#include "LetturaFattura.h"
#include "PagineSdi.h"
#include "db/Connection.h"

Richiesta::Richiesta(QHash<QString, QString> parametri, const Impostazioni& impostazioni,
                     const Collegamento& collegamento, const Canale& canale)
    : m_parametri(std::move(parametri)), m_impostazioni(impostazioni), m_collegamento(collegamento),
      m_canale(canale) {}

Richiesta::~Richiesta() = default;

Connection& Richiesta::connessione() {
    if (!m_connessione) m_connessione = m_collegamento.apri();
    return *m_connessione;
}

// Every page of the application, in one place.
const std::vector<Rotta>& rotte() {
    static const std::vector<Rotta> tabella{
        {QStringLiteral("/Fatt_Ven/mail_sdi.php"),
         [](Richiesta& r) { return paginaInvio(r, false); }},
        {QStringLiteral("/Fatt_Ven/mail_sdi_pa.php"),
         [](Richiesta& r) { return paginaInvio(r, true); }},
        {QStringLiteral("/Fatt_Acq/read_xml.php"), paginaLettura},
        {QStringLiteral("/Fatt_Ven/stato.php"), paginaStato},
        {QStringLiteral("/Posta/leggi.php"), paginaPosta},
    };
    return tabella;
}
