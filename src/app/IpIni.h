#pragma once

#include <QString>

// The settings file ip.ini: server, invoice database and the caption of the invoice
// window, one a line, taken as they are (only the line terminator is removed).
struct IpIni {
    QString server;
    QString database;
    QString titolo;

    static QString percorso(const QString& cartella);
    static bool esiste(const QString& cartella);
    // Reads the first three lines; a missing line reads empty. Throws ErroreFile
    // naming the file with the platform's message.
    static IpIni leggi(const QString& cartella);
};
