#pragma once

#include <QString>
#include <stdexcept>

// A FatturaPA file that could not be written: an output folder that cannot be
// written, a file name taken by another invoice. The message is the one shown
// to the user; what() holds it in UTF-8.
class ErroreXml : public std::runtime_error {
public:
    explicit ErroreXml(const QString& messaggio);

    QString messaggio() const;
};
