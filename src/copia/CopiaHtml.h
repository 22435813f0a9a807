#pragma once

#include "copia/Copia.h"

#include <QByteArray>
#include <QString>
#include <functional>

struct OpzioniHtml {
    // Address of the PDF of the same copy; without it the page has no link to it.
    QString indirizzoPdf;
    // Address from which attachment `allegato` (0-based) of document `documento`
    // (0-based) is saved; without it the attachments are only listed.
    std::function<QString(int documento, int allegato)> indirizzoAllegato;
};

// The copy as one self-contained HTML page (UTF-8, its style inside, no script, no
// address outside but the links given). Every value of the file is escaped, so markup
// in the file shows as text.
QByteArray copiaHtml(const Copia& copia, const OpzioniHtml& opzioni = {});

// The page that says why a file has no copy.
QByteArray erroreHtml(const QString& titolo, const QString& messaggio);
