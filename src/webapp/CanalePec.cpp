#include "Canale.h"
#include "Impostazioni.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <curl/curl.h>
#include <string>

namespace {

// Keeps the last line the server sent: on a refusal, the server's own words.
int osserva(CURL*, curl_infotype tipo, char* dati, size_t quanti, void* utente) {
    if (tipo == CURLINFO_HEADER_IN) {
        const QString riga = QString::fromUtf8(dati, qsizetype(quanti)).trimmed();
        if (!riga.isEmpty()) *static_cast<QString*>(utente) = riga;
    }
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

QString CanalePec::consegna(const QString& percorso) const {
    const ImpostazioniPec& p = *m_pec;
    const QString nome = QFileInfo(percorso).fileName();
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroreCanale(
            QStringLiteral("Impossibile leggere %1: %2").arg(percorso, f.errorString()));
    const QByteArray dati = f.readAll();

    Risorse r;
    if (!r.curl) throw ErroreCanale(QStringLiteral("Impossibile preparare l'invio per PEC"));
    const bool implicito = p.sicurezza != QLatin1String("starttls");
    const QByteArray url =
        QStringLiteral("%1://%2:%3")
            .arg(implicito ? QStringLiteral("smtps") : QStringLiteral("smtp"), p.host)
            .arg(p.porta)
            .toUtf8();
    const QByteArray utente = p.utente.toUtf8();
    const QByteArray password = p.password.toUtf8();
    const QByteArray mittente = indirizzo(p.mittente);
    const QByteArray certificati = QFile::encodeName(p.certificati);
    const QByteArray nomeFile = nome.toUtf8();
    const QByteArray testo =
        QStringLiteral("In allegato la fattura elettronica %1.\r\n").arg(nome).toUtf8();
    char errore[CURL_ERROR_SIZE] = {};
    QString ultimaRisposta;

    curl_easy_setopt(r.curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(r.curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(r.curl, CURLOPT_ERRORBUFFER, errore);
    curl_easy_setopt(r.curl, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(r.curl, CURLOPT_TIMEOUT, 60L);
    curl_easy_setopt(r.curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(r.curl, CURLOPT_DEBUGFUNCTION, &osserva);
    curl_easy_setopt(r.curl, CURLOPT_DEBUGDATA, &ultimaRisposta);
    if (!implicito) curl_easy_setopt(r.curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (!p.certificati.isEmpty()) curl_easy_setopt(r.curl, CURLOPT_CAINFO, certificati.constData());
    if (!p.utente.isEmpty()) {
        curl_easy_setopt(r.curl, CURLOPT_USERNAME, utente.constData());
        curl_easy_setopt(r.curl, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(r.curl, CURLOPT_MAIL_FROM, mittente.constData());
    r.destinatari = curl_slist_append(nullptr, indirizzo(p.destinatario).constData());
    curl_easy_setopt(r.curl, CURLOPT_MAIL_RCPT, r.destinatari);

    const QString data = QLocale::c().toString(QDateTime::currentDateTime(),
                                               QStringLiteral("ddd, dd MMM yyyy HH:mm:ss t"));
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
    if (esito != CURLE_OK) {
        QString motivo = QString::fromUtf8(errore[0] ? errore : curl_easy_strerror(esito));
        if (!ultimaRisposta.isEmpty())
            motivo = ultimaRisposta + QStringLiteral(" (") + motivo + QLatin1Char(')');
        throw ErroreCanale(QStringLiteral("Il server PEC %1:%2 non ha accettato il messaggio: %3")
                               .arg(p.host)
                               .arg(p.porta)
                               .arg(motivo));
    }
    return QStringLiteral("Il file %1 è stato spedito per PEC da %2 a %3 (server %4:%5).")
        .arg(nome, p.mittente, p.destinatario, p.host)
        .arg(p.porta);
}
