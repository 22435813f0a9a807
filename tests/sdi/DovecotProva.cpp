#include "DovecotProva.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

namespace {

int portaLibera() {
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost, 0)) return 0;
    return s.serverPort();
}

} // namespace

DovecotProva::DovecotProva(const QString& certificato, const QString& chiave) {
    const QString d = m_dir.path();
    QDir().mkpath(d + "/run");
    for (const char* s : {"new", "cur", "tmp"})
        QDir().mkpath(d + "/posta/" + utente() + "/" + s);
    // The mail processes never run as root: started by root, the mailbox belongs to
    // Dovecot's own user and its folders are open to it.
    uid_t uid = getuid();
    gid_t gid = getgid();
    if (uid == 0) {
        if (const passwd* p = getpwnam("dovecot")) {
            uid = p->pw_uid;
            gid = p->pw_gid;
        }
    }
    QFile::setPermissions(d, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                 QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                 QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                 QFileDevice::ExeGroup);
    for (const char* s : {"", "/new", "/cur", "/tmp"})
        QFile::setPermissions(d + "/posta/" + utente() + s, QFileDevice::Permissions(0x7777));
    QFile::setPermissions(d + "/posta", QFileDevice::Permissions(0x7777));
    m_porta = portaLibera();
    QString utenti;
    if (getuid() != 0) {
        const passwd* p = getpwuid(getuid());
        const QString io = p ? QString::fromLocal8Bit(p->pw_name) : QString();
        utenti = QString("default_internal_user = %1\ndefault_login_user = %1\n"
                         "default_internal_group = %2\n")
                     .arg(io)
                     .arg(getgid());
    }
    const QString conf =
        QString("base_dir = %1/run\nstate_dir = %1/run\nlog_path = %1/dovecot.log\n"
                "protocols = imap\nlisten = 127.0.0.1\nssl = required\n"
                "ssl_cert = <%2\nssl_key = <%3\nauth_mechanisms = plain\nfirst_valid_uid = 1\n"
                "%4"
                "passdb {\n  driver = static\n  args = password=%5\n}\n"
                "userdb {\n  driver = static\n  args = uid=%6 gid=%7 home=%1/posta/%u\n}\n"
                "mail_location = maildir:%1/posta/%u\n"
                "service imap-login {\n  inet_listener imap {\n    port = 0\n  }\n"
                "  inet_listener imaps {\n    port = %8\n    ssl = yes\n  }\n}\n")
            .arg(d, certificato, chiave, utenti, password())
            .arg(uid)
            .arg(gid)
            .arg(m_porta);
    QFile f(d + "/dovecot.conf");
    if (!f.open(QIODevice::WriteOnly)) {
        m_errore = "configurazione non scritta";
        m_porta = 0;
        return;
    }
    f.write(conf.toUtf8());
    f.close();
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start("/usr/sbin/dovecot", {"-F", "-c", d + "/dovecot.conf"});
    if (!m_server.waitForStarted(10000)) {
        m_errore = "dovecot non avviato: " + m_server.errorString();
        m_porta = 0;
        return;
    }
    for (int i = 0; i < 100; ++i) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, quint16(m_porta));
        if (s.waitForConnected(200)) return;
        if (m_server.state() != QProcess::Running) break;
        QThread::msleep(100);
    }
    QFile log(d + "/dovecot.log");
    log.open(QIODevice::ReadOnly);
    m_errore = "dovecot non in ascolto: " + QString::fromUtf8(m_server.readAll() + log.readAll());
    m_porta = 0;
}

DovecotProva::~DovecotProva() {
    if (m_server.state() == QProcess::NotRunning) return;
    m_server.terminate();
    if (!m_server.waitForFinished(10000)) m_server.kill();
    m_server.waitForFinished(5000);
}

void DovecotProva::consegna(const QByteArray& messaggio) {
    const QString base = m_dir.path() + "/posta/" + utente();
    const QString nome =
        QString("%1.M%2P%3.prova").arg(1733800000 + m_numero).arg(m_numero).arg(getpid());
    ++m_numero;
    QFile f(base + "/tmp/" + nome);
    if (!f.open(QIODevice::WriteOnly)) return;
    f.write(messaggio);
    f.close();
    QFile::setPermissions(f.fileName(), QFileDevice::Permissions(0x6666));
    QFile::rename(f.fileName(), base + "/new/" + nome);
}
