#pragma once

#include <QString>
#include <stdexcept>

// Error of the database access layer. Carries the server's (or the layer's) message,
// which the windows show to the user as it is.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
