#include "platform/MotivoFile.h"

#include <QFileDevice>

#include <cerrno>
#include <cstring>

QString motivoFile(const QFileDevice& file, int numeroErrore) {
    if (numeroErrore == ENOSPC || file.error() == QFileDevice::ResourceError)
        return QStringLiteral("disco pieno, spazio esaurito");
    if (numeroErrore == EDQUOT) return QStringLiteral("spazio su disco dell'utente esaurito");
    if (file.error() == QFileDevice::NoError && numeroErrore != 0)
        return QString::fromLocal8Bit(std::strerror(numeroErrore));
    return file.errorString();
}
