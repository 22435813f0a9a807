#pragma once

#include "platform/Errore.h"

// A report that cannot be produced: a missing table or column, bands that do not fit
// the page, a file that cannot be written.
GFE_ERRORE(ErroreReport);
