#include "Rotte.h"

#include "InvioFattura.h"
#include "InvioLotto.h"
#include "LetturaFattura.h"
#include "PaginaIniziale.h"
#include "PagineSdi.h"

// Every page of the application, in one place.
const std::vector<Rotta>& rotte() {
    static const std::vector<Rotta> tabella{
        {QStringLiteral("/"), paginaIniziale, {}},
        {QStringLiteral("/Fatt_Ven/mail_sdi.php"),
         [](Richiesta& r) { return paginaInvio(r, false, false); },
         [](Richiesta& r) { return paginaInvio(r, false, true); }},
        {QStringLiteral("/Fatt_Ven/mail_sdi_pa.php"),
         [](Richiesta& r) { return paginaInvio(r, true, false); },
         [](Richiesta& r) { return paginaInvio(r, true, true); }},
        {QStringLiteral("/Fatt_Ven/invio_lotto.php"),
         [](Richiesta& r) { return paginaLotto(r, false); },
         [](Richiesta& r) { return paginaLotto(r, true); }},
        {QStringLiteral("/Fatt_Acq/read_xml.php"),
         [](Richiesta& r) { return paginaLettura(r, false); },
         [](Richiesta& r) { return paginaLettura(r, true); }},
        {QStringLiteral("/Fatt_Ven/stato.php"), paginaStato, {}},
        {QStringLiteral("/Posta/leggi.php"), paginaPosta, leggiPosta},
    };
    return tabella;
}
