#include "IpIni.h"

#include "ErroreFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The platform's message, naming the file.
ErroreFile illeggibile(const QFile& f) {
    return ErroreFile(
        QStringLiteral("Impossibile leggere %1: %2").arg(f.fileName(), f.errorString()));
}

// One line without its "\n" or "\r\n"; empty at the end of the file.
QString riga(QFile& f) {
    QByteArray b = f.readLine();
    if (f.error() != QFileDevice::NoError) throw illeggibile(f);
    if (b.endsWith('\n')) {
        b.chop(1);
        if (b.endsWith('\r')) b.chop(1);
    }
    // Single-byte text: every byte is one character.
    return QString::fromLatin1(b);
}

} // namespace

QString IpIni::percorso(const QString& cartella) {
    return QDir(cartella).filePath(QStringLiteral("ip.ini"));
}

bool IpIni::esiste(const QString& cartella) {
    return QFileInfo::exists(percorso(cartella));
}

IpIni IpIni::leggi(const QString& cartella) {
    QFile f(percorso(cartella));
    if (!f.open(QIODevice::ReadOnly)) throw illeggibile(f);
    IpIni ini;
    ini.server = riga(f);
    ini.database = riga(f);
    ini.titolo = riga(f);
    return ini;
}
