#include "fatturapa/ErroreXml.h"

ErroreXml::ErroreXml(const QString& messaggio) : std::runtime_error(messaggio.toStdString()) {}

QString ErroreXml::messaggio() const {
    return QString::fromUtf8(what());
}
