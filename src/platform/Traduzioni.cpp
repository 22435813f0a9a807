#include "platform/Traduzioni.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool caricaTraduzioni(QCoreApplication& app) {
    // Owned by the application: it lives as long as the texts it translates.
    auto* traduttore = new QTranslator(&app);
    if (!traduttore->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traduttore;
        return false;
    }
    QCoreApplication::installTranslator(traduttore);
    return true;
}
