#include "invoices/CalcolaRiga.h"

#include "invoices/ErroreRiga.h"
#include "platform/Testi.h"

#include <cmath>
#include <initializer_list>

namespace {

using Ld = long double;

float f32(Ld v) {
    return static_cast<float>(v);
}

float numero(const QString& testo) {
    return f32(Testi::numeroOZero(testo));
}

bool finiti(std::initializer_list<float> valori) {
    for (float v : valori)
        if (!std::isfinite(v)) return false;
    return true;
}

} // namespace

void CalcolaRiga(CampiRiga& campi) {
    const float q = numero(campi.quantita);
    const float p = numero(campi.prezzoUnit);
    const bool sconto = campi.scTipo == QLatin1String("SC");
    const bool maggiorazione = campi.scTipo == QLatin1String("MG");
    if (!sconto && !maggiorazione) campi.scPerc = QStringLiteral("0,00");
    const float d = numero(campi.scPerc);
    const float importoSconto = f32(Ld(q) * p * d / 100);
    float totale = f32(Ld(q) * p);
    if (sconto)
        totale = f32(Ld(q) * p - importoSconto);
    else if (maggiorazione)
        totale = f32(Ld(q) * p + importoSconto);
    if (!finiti({q, p, d, importoSconto, totale})) throw ErroreRiga(QStringLiteral("Errore"));
    if (sconto || maggiorazione) {
        campi.scImporto = Testi::formatta(importoSconto, QStringLiteral("#####0.00"));
    } else {
        campi.scImporto = QStringLiteral("");
        campi.scPerc = QStringLiteral("");
    }
    campi.prezzoTot = Testi::formatta(totale, QStringLiteral("#####0.000"));
}
