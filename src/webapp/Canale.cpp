#include "Canale.h"

#include "Impostazioni.h"
#include "platform/LetturaFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString motivo(int errore) {
    if (errore == ENOSPC) return QStringLiteral("il disco è pieno");
    if (errore == EDQUOT) return QStringLiteral("lo spazio concesso sul disco è esaurito");
    return QString::fromLocal8Bit(std::strerror(errore));
}

QByteArray contenuto(const QString& percorso) {
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroreCanale(
            QStringLiteral("Impossibile leggere %1: %2").arg(percorso, f.errorString()));
    return f.readAll();
}

// Whole and on the disk, or an error with the system's reason (a full disk says so).
void scriviTutto(int fd, const QByteArray& dati, const QString& nome, const QString& uscita) {
    qsizetype scritti = 0;
    while (scritti < dati.size()) {
        const ssize_t n = ::write(fd, dati.constData() + scritti, size_t(dati.size() - scritti));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            throw ErroreCanale(
                QStringLiteral("Impossibile scrivere il file %1 nella cartella di uscita %2: %3")
                    .arg(nome, uscita, motivo(errno)));
        scritti += n;
    }
    if (::fsync(fd) != 0)
        throw ErroreCanale(
            QStringLiteral("Impossibile scrivere il file %1 nella cartella di uscita %2: %3")
                .arg(nome, uscita, motivo(errno)));
}

} // namespace

QString CanaleCartella::consegna(const QString& nome, const QByteArray& dati) const {
    if (!QDir().mkpath(m_uscita))
        throw ErroreCanale(
            QStringLiteral("Impossibile creare la cartella di uscita %1").arg(m_uscita));
    QTemporaryFile temporaneo(QDir(m_uscita).filePath(QStringLiteral(".gfe-web-XXXXXX")));
    if (!temporaneo.open())
        throw ErroreCanale(
            QStringLiteral("Impossibile creare un file nella cartella di uscita %1: %2")
                .arg(m_uscita, temporaneo.errorString()));
    scriviTutto(temporaneo.handle(), dati, nome, m_uscita);
    const QString destinazione = QDir(m_uscita).filePath(nome);
    // link() fails when the name exists, where rename() would replace the file.
    if (::link(QFile::encodeName(temporaneo.fileName()).constData(),
               QFile::encodeName(destinazione).constData()) != 0) {
        const int errore = errno;
        if (errore != EEXIST)
            throw ErroreCanale(
                QStringLiteral("Impossibile copiare %1 nella cartella di uscita %2: %3")
                    .arg(nome, m_uscita, motivo(errore)));
        if (contenuto(destinazione) != dati)
            throw ErroreCanale(
                QStringLiteral("Nella cartella di uscita %1 c'è già un file diverso di nome %2: "
                               "non viene sostituito")
                    .arg(m_uscita, nome));
    }
    return QStringLiteral("Il file %1 è stato copiato nella cartella di uscita %2.")
        .arg(nome, m_uscita);
}

QString CanaleCartella::fatto() const {
    return QStringLiteral("copiata nella cartella di uscita ") + m_uscita;
}

std::optional<bool> CanaleCartella::consegnato(const QString& nome, const QByteArray& dati) const {
    const LetturaFile f =
        LetturaFile::leggi(QDir(m_uscita).filePath(nome), qint64(dati.size()), false);
    return f.letto() && f.contenuto == dati;
}

QString CanaleCartella::descrizione() const {
    return QStringLiteral("copia nella cartella di uscita ") + m_uscita;
}

std::unique_ptr<Canale> creaCanale(const Impostazioni& impostazioni) {
    if (impostazioni.canale == QLatin1String("pec"))
        return std::make_unique<CanalePec>(impostazioni.pec);
    return std::make_unique<CanaleCartella>(impostazioni.uscita);
}
