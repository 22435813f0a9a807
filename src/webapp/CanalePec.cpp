#include "Canale.h"
#include "Impostazioni.h"

#include <QDateTime>
#include <QFile>
#include <curl/curl.h>
#include <string>

namespace {

// What the server said: its first refusal (a 4xx or 5xx reply, not the "221" of
// the QUIT that follows it), its last line otherwise, and whether it had invited the
// message's data (after that, a broken exchange may have delivered the message).
struct Dialogo {
    QString rifiuto;
    QString ultima;
    bool dati = false;
};

int osserva(CURL*, curl_infotype tipo, char* testo, size_t quanti, void* utente) {
    if (tipo != CURLINFO_HEADER_IN) return 0;
    auto& d = *static_cast<Dialogo*>(utente);
    const QString riga = QString::fromUtf8(testo, qsizetype(quanti)).trimmed();
    if (riga.isEmpty()) return 0;
    d.ultima = riga;
    if (riga.startsWith(QLatin1String("354"))) d.dati = true;
    if (d.rifiuto.isEmpty() &&
        (riga.startsWith(QLatin1Char('4')) || riga.startsWith(QLatin1Char('5'))))
        d.rifiuto = riga;
    return 0;
}

// Frees what libcurl allocated, whichever way the send ends.
struct Risorse {
    CURL* curl = curl_easy_init();
    curl_mime* mime = nullptr;
    curl_slist* destinatari = nullptr;
    curl_slist* intestazioni = nullptr;
    ~Risorse() {
        curl_slist_free_all(intestazioni);
        curl_slist_free_all(destinatari);
        curl_mime_free(mime);
        curl_easy_cleanup(curl);
    }
};

QByteArray indirizzo(const QString& a) {
    return (QLatin1Char('<') + a + QLatin1Char('>')).toUtf8();
}

} // namespace

CanalePec::CanalePec(const ImpostazioniPec& pec) : m_pec(std::make_unique<ImpostazioniPec>(pec)) {}

CanalePec::~CanalePec() = default;

QString CanalePec::fatto() const {
    return QStringLiteral("spedita per PEC a ") + m_pec->destinatario;
}

QString CanalePec::descrizione() const {
    return QStringLiteral("PEC da %1 a %2 (server %3:%4)")
        .arg(m_pec->mittente, m_pec->destinatario, m_pec->host, QString::number(m_pec->porta));
}

QString CanalePec::consegna(const QString& nome, const QByteArray& dati) const {
    const ImpostazioniPec& p = *m_pec;

    Risorse r;
    if (!r.curl) throw ErroreCanale(QStringLiteral("Impossibile preparare l'invio per PEC"));
    const bool implicito = p.sicurezza != QLatin1String("starttls");
    const QByteArray url = QStringLiteral("%1://%2:%3")
                               .arg(implicito ? QStringLiteral("smtps") : QStringLiteral("smtp"),
                                    p.host, QString::number(p.porta))
                               .toUtf8();
    const QByteArray utente = p.utente.toUtf8();
    const QByteArray password = p.password.toUtf8();
    const QByteArray mittente = indirizzo(p.mittente);
    const QByteArray certificati = QFile::encodeName(p.certificati);
    const QByteArray nomeFile = nome.toUtf8();
    const QByteArray testo =
        QStringLiteral("In allegato la fattura elettronica %1.\r\n").arg(nome).toUtf8();
    char errore[CURL_ERROR_SIZE] = {};
    Dialogo dialogo;

    curl_easy_setopt(r.curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(r.curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(r.curl, CURLOPT_ERRORBUFFER, errore);
    // The limits hold for the whole exchange, the wait for the reply to the data included.
    curl_easy_setopt(r.curl, CURLOPT_CONNECTTIMEOUT, long(p.attesaConnessione));
    curl_easy_setopt(r.curl, CURLOPT_TIMEOUT, long(p.attesa));
    curl_easy_setopt(r.curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(p.attesa));
    curl_easy_setopt(r.curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(r.curl, CURLOPT_DEBUGFUNCTION, &osserva);
    curl_easy_setopt(r.curl, CURLOPT_DEBUGDATA, &dialogo);
    if (!implicito) curl_easy_setopt(r.curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (!p.certificati.isEmpty()) curl_easy_setopt(r.curl, CURLOPT_CAINFO, certificati.constData());
    if (!p.utente.isEmpty()) {
        curl_easy_setopt(r.curl, CURLOPT_USERNAME, utente.constData());
        curl_easy_setopt(r.curl, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(r.curl, CURLOPT_MAIL_FROM, mittente.constData());
    r.destinatari = curl_slist_append(nullptr, indirizzo(p.destinatario).constData());
    curl_easy_setopt(r.curl, CURLOPT_MAIL_RCPT, r.destinatari);

    // RFC 5322 wants the zone as a number ("+0100"), never a name.
    const QString data = QDateTime::currentDateTime().toString(Qt::RFC2822Date);
    for (const QString& h : {QStringLiteral("Date: ") + data, QStringLiteral("From: ") + p.mittente,
                             QStringLiteral("To: ") + p.destinatario,
                             QStringLiteral("Subject: Fattura elettronica ") + nome})
        r.intestazioni = curl_slist_append(r.intestazioni, h.toUtf8().constData());
    curl_easy_setopt(r.curl, CURLOPT_HTTPHEADER, r.intestazioni);

    r.mime = curl_mime_init(r.curl);
    curl_mimepart* parte = curl_mime_addpart(r.mime);
    curl_mime_data(parte, testo.constData(), size_t(testo.size()));
    curl_mime_type(parte, "text/plain; charset=utf-8");
    parte = curl_mime_addpart(r.mime);
    curl_mime_data(parte, dati.constData(), size_t(dati.size()));
    curl_mime_filename(parte, nomeFile.constData());
    curl_mime_type(parte, "application/xml");
    curl_mime_encoder(parte, "base64");
    curl_easy_setopt(r.curl, CURLOPT_MIMEPOST, r.mime);

    const CURLcode esito = curl_easy_perform(r.curl);
    const QString server = p.host + QLatin1Char(':') + QString::number(p.porta);
    if (esito != CURLE_OK) {
        const QString guasto = QString::fromUtf8(errore[0] ? errore : curl_easy_strerror(esito));
        if (!dialogo.rifiuto.isEmpty())
            throw ErroreCanale(QStringLiteral("Il server PEC %1 ha rifiutato il messaggio: %2")
                                   .arg(server, dialogo.rifiuto));
        if (dialogo.dati)
            throw ErroreCanaleIncerto(
                QStringLiteral("Il server PEC %1 ha ricevuto il messaggio ma non ha confermato di "
                               "averlo accettato (%2): controllare nella posta inviata della "
                               "casella %3 se il messaggio con oggetto \"Fattura elettronica "
                               "%4\" è partito prima di inviarlo di nuovo")
                    .arg(server, guasto, p.mittente, nome));
        QString motivo = guasto;
        if (!dialogo.ultima.isEmpty())
            motivo = dialogo.ultima + QStringLiteral(" (") + guasto + QLatin1Char(')');
        throw ErroreCanale(QStringLiteral("Il server PEC %1 non ha accettato il messaggio: %2")
                               .arg(server, motivo));
    }
    return QStringLiteral("Il file %1 è stato spedito per PEC da %2 a %3 (server %4).")
        .arg(nome, p.mittente, p.destinatario, server);
}
