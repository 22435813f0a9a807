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

// Declares a one-line subclass of Errore.
#define GFE_ERRORE(Nome)                                                                           \
    class Nome : public Errore {                                                                   \
    public:                                                                                        \
        using Errore::Errore;                                                                      \
    }
