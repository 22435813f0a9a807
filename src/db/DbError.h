#pragma once

#include "platform/Errore.h"

// Error of the database access layer, with the server's (or the layer's) message.
GFE_ERRORE(DbError);
