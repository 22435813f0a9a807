#include "fatturapa/Problema.h"

QString Problema::descrizione() const {
    return codice.isEmpty() ? testo : codice + QStringLiteral(": ") + testo;
}
