#include "invoices/ErroreRiga.h"

ErroreRiga::ErroreRiga(const QString& messaggio) : std::runtime_error(messaggio.toStdString()) {}

QString ErroreRiga::messaggio() const {
    return QString::fromUtf8(what());
}
