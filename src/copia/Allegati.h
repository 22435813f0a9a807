#pragma once

#include "copia/Copia.h"

#include <QString>
#include <QStringList>

// Saves the attachments of every document of a copy into `cartella`, their bytes
// exactly as decoded, each under its name reduced to its last part. Nothing is ever
// written outside that folder and no file there is replaced: a name already taken
// gets " (2)", " (3)", ... before its extension. Each file is written whole under a
// temporary name and then linked under its own, so a failure leaves no half file.
struct EsitoAllegati {
    QStringList salvati; // full paths written
    QString errore;      // Italian, empty when every readable attachment was saved

    bool riuscito() const { return errore.isEmpty(); }
};

EsitoAllegati salvaAllegati(const Copia& copia, const QString& cartella);
// The same for one attachment.
EsitoAllegati salvaAllegato(const Allegato& allegato, const QString& cartella);
