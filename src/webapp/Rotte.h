#pragma once

#include "Pagina.h"

#include <QString>
#include <functional>
#include <vector>

class Richiesta;

using FunzionePagina = std::function<Risposta(Richiesta&)>;

// One page of gfe-web. A page that only shows has `mostra` alone. A page that changes
// something also has `esegui`: its GET (`mostra`) changes nothing and shows what would
// be done, with the button of `Risposta::pulsante`; the server adds a POST form with a
// one-time token, and only that POST, from this application's own pages, runs `esegui`.
// The server makes every check; the pages make none of them. A page that only shows
// is written {percorso, mostra, {}}.
struct Rotta {
    QString percorso;
    FunzionePagina mostra;
    FunzionePagina esegui;

    bool cambia() const { return bool(esegui); }
};

const std::vector<Rotta>& rotte();
