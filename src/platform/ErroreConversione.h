#pragma once

#include "platform/Errore.h"

// A text that cannot be read as a number or a date.
GFE_ERRORE(ErroreConversione);
