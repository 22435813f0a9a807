#pragma once

#include "platform/Errore.h"

// A computed amount whose text does not fit its column.
GFE_ERRORE(ErroreImporto);
