#pragma once

#include "platform/Errore.h"

// A line editor operation that cannot be carried out.
GFE_ERRORE(ErroreRiga);
