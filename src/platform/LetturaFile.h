#pragma once

#include <QByteArray>
#include <QString>

// Reads a whole file that must be a regular file of at most a given size.
// The kind and the size are checked on the opened file before anything is
// read, and the file is opened without waiting, so a FIFO, a device such as
// /dev/zero, a folder or a huge file give a message at once instead of a hang
// or an exhausted memory.
struct LetturaFile {
    QByteArray contenuto;
    // Italian text naming the file; empty when the file was read.
    QString errore;

    bool letto() const { return errore.isEmpty(); }

    // Without `collegamenti`, a symbolic link is refused instead of followed.
    static LetturaFile leggi(const QString& percorso, qint64 massimoByte, bool collegamenti = true);
};
