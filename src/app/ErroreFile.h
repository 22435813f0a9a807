#pragma once

#include "platform/Errore.h"

// A file that exists but cannot be opened or read; the message is the platform's.
GFE_ERRORE(ErroreFile);
