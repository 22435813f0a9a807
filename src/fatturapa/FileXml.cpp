#include "fatturapa/FileXml.h"

#include "fatturapa/ErroreXml.h"
#include "platform/MotivoFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Removes the temporary file unless it has become the target.
class Temporaneo {
public:
    explicit Temporaneo(QFile& file) : m_file(file) {}
    ~Temporaneo() {
        if (!m_rinominato) {
            m_file.close();
            m_file.remove();
        }
    }
    void rinominato() { m_rinominato = true; }

private:
    QFile& m_file;
    bool m_rinominato = false;
};

ErroreXml errore(const QString& percorso, const QString& motivo) {
    return ErroreXml(
        QStringLiteral("Impossibile scrivere il file XML %1: %2").arg(percorso, motivo));
}

// A name of its own beside the target; created new, so an existing file is
// never reused. The file gets the permissions of any new file of the user.
void creaTemporaneo(const QString& percorso, QFile& file) {
    for (int tentativo = 0;; ++tentativo) {
        file.setFileName(percorso +
                         QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8,
                                                       16, QLatin1Char('0')));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return;
        if (!file.exists() || tentativo == 5) throw errore(percorso, file.errorString());
    }
}

} // namespace

void FileXml::scrivi(const QString& percorso, const QByteArray& contenuto) {
    QFile file;
    creaTemporaneo(percorso, file);
    Temporaneo guardia(file);
    errno = 0;
    if (file.write(contenuto) != contenuto.size() || !file.flush())
        throw errore(percorso, motivoFile(file, errno));
    file.close();
    if (file.error() != QFileDevice::NoError) throw errore(percorso, motivoFile(file, errno));
    // rename() replaces the target in one step; QFile::rename would refuse it.
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(percorso).constData()) != 0)
        throw errore(percorso, QString::fromLocal8Bit(std::strerror(errno)));
    guardia.rinominato();
}
