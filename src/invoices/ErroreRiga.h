#pragma once

#include <QString>
#include <stdexcept>

// A line editor operation that cannot be carried out. The message is the one
// shown to the user; what() holds it in UTF-8.
class ErroreRiga : public std::runtime_error {
public:
    explicit ErroreRiga(const QString& messaggio);

    QString messaggio() const;
};
