#include "InvioSdi.h"

namespace InvioSdi {

QString server() {
    QString s = qEnvironmentVariable("GFE_WEB_URL").trimmed();
    if (s.isEmpty()) return QStringLiteral("http://127.0.0.1:8780");
    while (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    return s;
}

QString indirizzo(Pagina pagina, const QString& nomeFile, int idInvio) {
    const QString percorso = pagina == Pagina::PubblicaAmministrazione
                                 ? QStringLiteral("/Fatt_Ven/mail_sdi_pa.php?nome_file=")
                                 : QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=");
    return server() + percorso + nomeFile + QStringLiteral("&n_invio=") + QString::number(idInvio);
}

QString indirizzoLotto() {
    return server() + QStringLiteral("/Fatt_Ven/invio_lotto.php");
}

} // namespace InvioSdi
