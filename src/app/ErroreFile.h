#pragma once

#include <QString>
#include <stdexcept>

// A file that exists but cannot be opened or read; the message is the platform's.
class ErroreFile : public std::runtime_error {
public:
    explicit ErroreFile(const QString& messaggio)
        : std::runtime_error(messaggio.toStdString()), m_messaggio(messaggio) {}
    const QString& messaggio() const { return m_messaggio; }

private:
    QString m_messaggio;
};
