#include "platform/LetturaFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString nome(const QString& percorso) {
    return QDir::toNativeSeparators(percorso);
}

QString erroreDiSistema(const QString& percorso, int codice) {
    return QStringLiteral("impossibile leggere il file «%1»: %2")
        .arg(nome(percorso), QString::fromLocal8Bit(std::strerror(codice)));
}

struct Descrittore {
    int fd;
    ~Descrittore() {
        if (fd >= 0) ::close(fd);
    }
};

} // namespace

LetturaFile LetturaFile::leggi(const QString& percorso, qint64 massimoByte, bool collegamenti) {
    LetturaFile esito;
    // Non-blocking: opening a FIFO without a writer would wait for ever.
    const Descrittore f{
        ::open(QFile::encodeName(percorso).constData(),
               O_RDONLY | O_NONBLOCK | O_CLOEXEC | (collegamenti ? 0 : O_NOFOLLOW))};
    if (f.fd < 0) {
        if (errno == ELOOP && !collegamenti)
            esito.errore = QStringLiteral("«%1» è un collegamento simbolico: non viene letto")
                               .arg(nome(percorso));
        else
            esito.errore = erroreDiSistema(percorso, errno);
        return esito;
    }
    struct stat info {};
    if (::fstat(f.fd, &info) != 0) {
        esito.errore = erroreDiSistema(percorso, errno);
        return esito;
    }
    if (!S_ISREG(info.st_mode)) {
        esito.errore = QStringLiteral("«%1» non è un file ordinario (è una cartella, un "
                                      "dispositivo o una coda)")
                           .arg(nome(percorso));
        return esito;
    }
    const auto troppoGrande = [&](qint64 byte) {
        return QStringLiteral("il file «%1» è troppo grande: %2 byte, al massimo %3")
            .arg(nome(percorso))
            .arg(byte)
            .arg(massimoByte);
    };
    if (info.st_size > massimoByte) {
        esito.errore = troppoGrande(info.st_size);
        return esito;
    }
    // The file may grow while it is read: never more than the limit plus one byte.
    QByteArray dati(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qint64 letti = 0;
    for (;;) {
        if (letti == dati.size()) {
            if (letti > massimoByte) {
                esito.errore = troppoGrande(letti);
                return esito;
            }
            dati.resize(qsizetype(std::min<qint64>(massimoByte + 1, letti * 2 + 4096)));
        }
        const ssize_t n = ::read(f.fd, dati.data() + letti, size_t(dati.size() - letti));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            esito.errore = erroreDiSistema(percorso, errno);
            return esito;
        }
        if (n == 0) break;
        letti += n;
    }
    if (letti > massimoByte) {
        esito.errore = troppoGrande(letti);
        return esito;
    }
    dati.truncate(qsizetype(letti));
    esito.contenuto = std::move(dati);
    return esito;
}
