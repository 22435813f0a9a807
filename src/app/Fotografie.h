#pragma once

#include "IpIni.h"

#include <QStringList>

class TMenu;

// Unattended pictures of the program: the main menu before and after the log-in, then
// every window built into the program and every extra view it offers, one PNG each.
class Fotografie {
public:
    // The demo settings: the private server on the loopback address, the demo database.
    static IpIni impostazioniDemo();

    // Writes the pictures into `cartella` (created when missing) and returns their
    // paths. Throws ErroreFile when the folder or a picture cannot be written and when
    // the log-in fails (with its message).
    static QStringList esegui(TMenu& menu, const IpIni& ini, const QString& cartella);
};
