#include "sdi/CasellaPec.h"

#include "sdi/LettoreNotifiche.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

#include <curl/curl.h>

namespace {

QString testo(const QSettings& s, const QString& chiave, const QString& predefinito = {}) {
    const QVariant v = s.value(chiave);
    if (!v.isValid()) return predefinito;
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    return v.toString().trimmed();
}

int numero(const QString& valore, int minimo, int massimo, const QString& chiave,
           const QString& file) {
    bool ok = false;
    const int n = valore.toInt(&ok);
    if (!ok || n < minimo || n > massimo)
        throw ErroreCasella(QStringLiteral("Valore non valido per '%1' in %2: '%3' (un numero da "
                                           "%4 a %5)")
                                .arg(chiave, file, valore)
                                .arg(minimo)
                                .arg(massimo));
    return n;
}

size_t accoda(char* dati, size_t dimensione, size_t n, void* destinazione) {
    static_cast<QByteArray*>(destinazione)->append(dati, qsizetype(dimensione * n));
    return dimensione * n;
}

} // namespace

ImpostazioniCasella ImpostazioniCasella::leggi(const QString& file, const QString& cartella) {
    ImpostazioniCasella i;
    const auto assoluta = [&](const QString& p) {
        return QDir::cleanPath(QDir(cartella).absoluteFilePath(p));
    };
    i.ricevute = assoluta(QStringLiteral("ricevute"));
    const QFileInfo info(file);
    if (!info.exists()) return i;
    const QSettings s(file, QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        throw ErroreCasella(
            QStringLiteral("Il file di impostazioni %1 non è leggibile come INI").arg(file));
    i.ricevute = assoluta(testo(s, QStringLiteral("ricevute"), QStringLiteral("ricevute")));
    i.host = testo(s, QStringLiteral("pec/imap_host"));
    const QString porta = testo(s, QStringLiteral("pec/imap_porta"));
    if (!porta.isEmpty()) i.porta = numero(porta, 1, 65535, QStringLiteral("imap_porta"), file);
    i.utente = testo(s, QStringLiteral("pec/utente"));
    i.password = testo(s, QStringLiteral("pec/password"));
    const QString certificati = testo(s, QStringLiteral("pec/certificati"));
    if (!certificati.isEmpty()) i.certificati = assoluta(certificati);
    const QString intervallo = testo(s, QStringLiteral("pec/intervallo"));
    if (!intervallo.isEmpty())
        i.intervallo = numero(intervallo, 0, 24 * 60, QStringLiteral("intervallo"), file);
    if (!i.password.isEmpty() &&
        (info.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)))
        throw ErroreCasella(
            QStringLiteral("Il file %1 contiene la password della PEC ma è leggibile da altri "
                           "utenti: renderlo leggibile solo al proprietario (chmod 600)")
                .arg(file));
    return i;
}

CasellaPec::CasellaPec(const ImpostazioniCasella& impostazioni) : m_i(impostazioni) {
    if (m_i.host.isEmpty())
        throw ErroreCasella(
            QStringLiteral("Manca il server IMAP della PEC ('imap_host' nella sezione [pec] "
                           "delle impostazioni)"));
    m_curl = curl_easy_init();
    if (!m_curl) throw ErroreCasella(QStringLiteral("Impossibile preparare la lettura della PEC"));
}

CasellaPec::~CasellaPec() {
    if (m_curl) curl_easy_cleanup(static_cast<CURL*>(m_curl));
}

// One IMAP request on the same handle, so the connection and its log-in are reused.
QByteArray CasellaPec::esegui(const QString& percorso, const QString& comando) {
    CURL* c = static_cast<CURL*>(m_curl);
    curl_easy_reset(c);
    QByteArray risposta;
    char errore[CURL_ERROR_SIZE] = {};
    QString host = m_i.host;
    if (host.contains(u':') && !host.startsWith(u'[')) host = u'[' + host + u']';
    const QByteArray url =
        (QStringLiteral("imaps://%1:%2/").arg(host).arg(m_i.porta) + percorso).toUtf8();
    const QByteArray utente = m_i.utente.toUtf8();
    const QByteArray password = m_i.password.toUtf8();
    const QByteArray certificati = QFile::encodeName(m_i.certificati);
    const QByteArray richiesta = comando.toUtf8();
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errore);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, 120L);
    curl_easy_setopt(c, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (!m_i.certificati.isEmpty()) curl_easy_setopt(c, CURLOPT_CAINFO, certificati.constData());
    if (!utente.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, utente.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    }
    if (!richiesta.isEmpty()) curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, richiesta.constData());
    curl_easy_setopt(c, CURLOPT_VERBOSE, long(qEnvironmentVariableIsSet("GFE_IMAP_DEBUG")));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &accoda);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &risposta);
    const CURLcode esito = curl_easy_perform(c);
    if (esito != CURLE_OK)
        throw ErroreCasella(
            QStringLiteral("Lettura della PEC da %1:%2 non riuscita: %3")
                .arg(m_i.host)
                .arg(m_i.porta)
                .arg(QString::fromUtf8(errore[0] ? errore : curl_easy_strerror(esito))));
    return risposta;
}

QList<qint64> CasellaPec::nonLetti() {
    const QByteArray r = esegui(QString::fromLatin1(QUrl::toPercentEncoding(m_i.casella)),
                                QStringLiteral("UID SEARCH UNSEEN"));
    QList<qint64> uid;
    for (const QByteArray& riga : r.split('\n')) {
        const QByteArray t = riga.trimmed();
        if (!t.startsWith("* SEARCH")) continue;
        for (const QByteArray& parola : t.mid(8).split(' ')) {
            bool ok = false;
            const qint64 n = parola.toLongLong(&ok);
            if (ok && n > 0) uid << n;
        }
    }
    return uid;
}

QByteArray CasellaPec::preleva(qint64 uid) {
    return esegui(QString::fromLatin1(QUrl::toPercentEncoding(m_i.casella)) +
                      QStringLiteral("/;UID=%1").arg(uid),
                  {});
}

void CasellaPec::segnaLetto(qint64 uid, bool letto) {
    esegui(QString::fromLatin1(QUrl::toPercentEncoding(m_i.casella)),
           QStringLiteral("UID STORE %1 %2FLAGS (\\Seen)")
               .arg(uid)
               .arg(letto ? QStringLiteral("+") : QStringLiteral("-")));
}

int CasellaPec::leggi(LettoreNotifiche& lettore) {
    int letti = 0;
    for (const qint64 uid : nonLetti()) {
        const QByteArray messaggio = preleva(uid);
        try {
            lettore.messaggio(messaggio, QStringLiteral("%1 UID %2").arg(m_i.casella).arg(uid));
        } catch (...) {
            // Fetching marked it read: it stays unread for the next reading.
            try {
                segnaLetto(uid, false);
            } catch (...) {
            }
            throw;
        }
        segnaLetto(uid, true);
        ++letti;
    }
    return letti;
}
