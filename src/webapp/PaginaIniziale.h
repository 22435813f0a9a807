#pragma once

#include "Pagina.h"

class Richiesta;

// "/": what gfe-web is, its channel and folders, and the last 20 hand-offs.
Risposta paginaIniziale(Richiesta& richiesta);
