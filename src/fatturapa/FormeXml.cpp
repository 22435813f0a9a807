#include "fatturapa/FormeXml.h"

#include "platform/Testi.h"

#include <cmath>

namespace {

QString conPunto(QString testo) {
    return testo.replace(u',', u'.');
}

} // namespace

QString FormeXml::duePunto(const QString& importo) {
    return conPunto(Testi::importo(Testi::numero(importo)));
}

QString FormeXml::quattroPunto(const QString& importo) {
    return conPunto(Testi::formatta(Testi::numero(importo), QStringLiteral("######0.0000")));
}

QString FormeXml::data(const QString& testoData) {
    return Testi::dataIso(testoData);
}

long double FormeXml::valore(const QString& formaPunto) {
    return Testi::numero(QString(formaPunto).replace(u'.', u','));
}

bool FormeXml::positivo(const QString& formaPunto) {
    long double v = 0;
    return Testi::leggiNumero(QString(formaPunto).replace(u'.', u','), v) && v > 0;
}

QString FormeXml::rata(const QString& totaleDuePunto, int n) {
    const long double quoziente = valore(totaleDuePunto) / n;
    const float rata = float(std::trunc(quoziente / 0.01L + 0.5L) * 0.01L);
    return conPunto(Testi::formatta(rata, QStringLiteral("#######0.00")));
}

float FormeXml::somma32(float somma, const QString& formaPunto) {
    return float((long double)somma + valore(formaPunto));
}

QString FormeXml::duePunto32(float valore) {
    return conPunto(Testi::importo(valore));
}
