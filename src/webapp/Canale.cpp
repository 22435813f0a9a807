#include "Canale.h"

#include "Impostazioni.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QByteArray contenuto(const QString& percorso) {
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        throw ErroreCanale(
            QStringLiteral("Impossibile leggere %1: %2").arg(percorso, f.errorString()));
    return f.readAll();
}

} // namespace

QString CanaleCartella::consegna(const QString& percorso) const {
    const QString nome = QFileInfo(percorso).fileName();
    if (!QDir().mkpath(m_uscita))
        throw ErroreCanale(
            QStringLiteral("Impossibile creare la cartella di uscita %1").arg(m_uscita));
    const QByteArray dati = contenuto(percorso);
    QTemporaryFile temporaneo(QDir(m_uscita).filePath(QStringLiteral(".gfe-web-XXXXXX")));
    if (!temporaneo.open() || temporaneo.write(dati) != dati.size() || !temporaneo.flush() ||
        ::fsync(temporaneo.handle()) != 0)
        throw ErroreCanale(QStringLiteral("Impossibile scrivere nella cartella di uscita %1: %2")
                               .arg(m_uscita, temporaneo.errorString()));
    const QString destinazione = QDir(m_uscita).filePath(nome);
    // link() fails when the name exists, where rename() would replace the file.
    if (::link(QFile::encodeName(temporaneo.fileName()).constData(),
               QFile::encodeName(destinazione).constData()) != 0) {
        const int errore = errno;
        if (errore != EEXIST)
            throw ErroreCanale(
                QStringLiteral("Impossibile copiare %1 nella cartella di uscita %2: %3")
                    .arg(nome, m_uscita, QString::fromLocal8Bit(std::strerror(errore))));
        if (contenuto(destinazione) != dati)
            throw ErroreCanale(
                QStringLiteral("Nella cartella di uscita %1 c'è già un file diverso di nome %2: "
                               "non viene sostituito")
                    .arg(m_uscita, nome));
    }
    return QStringLiteral("Il file %1 è stato copiato nella cartella di uscita %2.")
        .arg(nome, m_uscita);
}

std::unique_ptr<Canale> creaCanale(const Impostazioni& impostazioni) {
    if (impostazioni.canale == QLatin1String("pec"))
        return std::make_unique<CanalePec>(impostazioni.pec);
    return std::make_unique<CanaleCartella>(impostazioni.uscita);
}
