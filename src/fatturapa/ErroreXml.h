#pragma once

#include "platform/Errore.h"

// A FatturaPA file that could not be written: an output folder that cannot be
// written, a file name taken by another invoice.
GFE_ERRORE(ErroreXml);
