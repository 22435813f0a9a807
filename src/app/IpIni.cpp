#include "IpIni.h"

#include "ErroreFile.h"
#include "platform/LetturaFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Three short lines: anything larger is no settings file.
constexpr qint64 massimoByte = 64 * 1024;

// One line without its "\n" or "\r\n"; empty at the end of the file.
QString riga(const QByteArray& contenuto, qsizetype& da) {
    if (da >= contenuto.size()) return QString();
    qsizetype fine = contenuto.indexOf('\n', da);
    const qsizetype dopo = fine < 0 ? contenuto.size() : fine + 1;
    if (fine < 0)
        fine = contenuto.size();
    else if (fine > da && contenuto.at(fine - 1) == '\r')
        --fine;
    // Single-byte text: every byte is one character.
    const QString testo = QString::fromLatin1(contenuto.mid(da, fine - da));
    da = dopo;
    return testo;
}

} // namespace

QString IpIni::percorso(const QString& cartella) {
    return QDir(cartella).filePath(QStringLiteral("ip.ini"));
}

bool IpIni::esiste(const QString& cartella) {
    return QFileInfo::exists(percorso(cartella));
}

IpIni IpIni::leggi(const QString& cartella) {
    // A FIFO, a device or a huge file named ip.ini is refused before it is read.
    const LetturaFile file = LetturaFile::leggi(percorso(cartella), massimoByte);
    if (!file.letto()) {
        QString messaggio = file.errore;
        messaggio[0] = messaggio[0].toUpper();
        throw ErroreFile(messaggio);
    }
    IpIni ini;
    qsizetype da = 0;
    ini.server = riga(file.contenuto, da);
    ini.database = riga(file.contenuto, da);
    ini.titolo = riga(file.contenuto, da);
    return ini;
}
