#pragma once

#include <QString>
#include <stdexcept>

// The one base of the program's errors. It carries the Italian text shown to the
// user (or printed by gfe-batch); what() holds it in UTF-8. Every place that shows
// an error catches this type.
class Errore : public std::runtime_error {
public:
    explicit Errore(const QString& messaggio) : std::runtime_error(messaggio.toStdString()) {}

    QString messaggio() const { return QString::fromUtf8(what()); }
};

// The subclasses, each for a reason:
// - caught by type somewhere in the program: DbError (the data layer: a refresh or a
//   lock that failed is told apart from a wrong value), ErroreConversione (a value that
//   is no number or date: the totals and the fields answer it in their own way),
//   ErroreFile (an unreadable ip.ini ends the log-in with its own state), ErroreCanale
//   (a sending channel that failed is answered with 502);
// - named by a function's contract so that a caller and its tests can tell which step
//   refused: ErroreXml (the writers), ErroreImporto and ErroreRiga (the totals and the
//   line operations), ErroreStampa and ErroreReport (the printed copies and their
//   engine), ErroreImpostazioni (gfe-web's settings).
// Anything else throws Errore itself.

// Declares a one-line subclass of Errore.
#define GFE_ERRORE(Nome)                                                                           \
    class Nome : public Errore {                                                                   \
    public:                                                                                        \
        using Errore::Errore;                                                                      \
    }
