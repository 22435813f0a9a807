#pragma once

#include <QString>
#include <stdexcept>

// A text that cannot be read as a number or a date. The message is the one
// shown to the user; what() holds it in UTF-8.
class ErroreConversione : public std::runtime_error {
public:
    explicit ErroreConversione(const QString& messaggio);

    QString messaggio() const;
};
