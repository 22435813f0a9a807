#include "db/ConnectionSettings.h"

#include "db/Connection.h"

namespace {

// The private server's password, from the file db-password of the project root.
const char* const kPassword = GFE_DB_PASSWORD_PREDEFINITA;

} // namespace

ConnectionSettings ConnectionSettings::fromEnvironment(const QString& host,
                                                       const QString& database) {
    ConnectionSettings s{host, database, QStringLiteral("root"), QString::fromLatin1(kPassword),
                         3306, QString()};
    if (qEnvironmentVariableIsSet("GFE_DB_PORT")) {
        const QString text = qEnvironmentVariable("GFE_DB_PORT");
        bool ok = false;
        const int port = text.trimmed().toInt(&ok);
        if (ok && port >= 1 && port <= 65535)
            s.port = port;
        else
            s.error = QStringLiteral("La variabile d'ambiente GFE_DB_PORT vale '%1': "
                                     "non è una porta valida (un numero da 1 a 65535)")
                          .arg(text);
    }
    if (qEnvironmentVariableIsSet("GFE_DB_USER")) s.user = qEnvironmentVariable("GFE_DB_USER");
    if (qEnvironmentVariableIsSet("GFE_DB_PASSWORD"))
        s.password = qEnvironmentVariable("GFE_DB_PASSWORD");
    return s;
}

ConnectionSettings ConnectionSettings::of(const Connection& c) {
    return {c.host(), c.database(), c.user(), c.password(), c.port(), c.settingError()};
}

void ConnectionSettings::applyTo(Connection& c) const {
    c.setHost(host);
    c.setDatabase(database);
    c.setUser(user);
    c.setPassword(password);
    c.setPort(port);
    c.setSettingError(error);
}
