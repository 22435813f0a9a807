#include "platform/ErroreConversione.h"

ErroreConversione::ErroreConversione(const QString& messaggio)
    : std::runtime_error(messaggio.toStdString())
{
}

QString ErroreConversione::messaggio() const
{
    return QString::fromUtf8(what());
}
