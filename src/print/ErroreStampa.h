#pragma once

#include "platform/Errore.h"

// A printed copy that cannot be produced from the data at hand.
GFE_ERRORE(ErroreStampa);
