#pragma once

#include <QByteArray>
#include <QString>

// Writes a whole file or leaves things as they were: the bytes go to a new
// temporary file in the same folder, which replaces the target by a rename
// only once it is complete. On a failure the earlier file at the target stays
// intact, no temporary file is left behind, and ErroreXml carries the
// system's message.
class FileXml {
public:
    FileXml() = delete;

    static void scrivi(const QString& percorso, const QByteArray& contenuto);
};
