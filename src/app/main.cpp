#include "Avvio.h"
#include "DesktopConsole.h"
#include "ErroreFile.h"
#include "Fotografie.h"
#include "GfeApplication.h"
#include "TMenu.h"
#include "platform/AvvisiDriver.h"
#include "platform/Errore.h"
#include "widgets/Modulo.h"

#include <QDir>
#include <QSettings>

#include <cstdio>

namespace {

// gfe --screenshots CARTELLA: the pictures of every window with the ip.ini of the
// working folder (or else the demo settings),
// without a user (run it with QT_QPA_PLATFORM=offscreen where there is no display).
int fotografie(const QString& cartella) {
    DesktopConsole console;
    Desktop::installa(&console);
    if (!qEnvironmentVariableIsSet("GFE_DB_PORT")) qputenv("GFE_DB_PORT", "33306");
    int esito = 0;
    try {
        Avvio avvio;
        // The settings of the working folder, as "Accedi" reads them; else the demo's.
        const QString qui = QDir::currentPath();
        const IpIni ini = IpIni::esiste(qui) ? IpIni::leggi(qui) : Fotografie::impostazioniDemo();
        for (const QString& f : Fotografie::esegui(*avvio.menu(), ini, cartella))
            std::printf("%s\n", f.toLocal8Bit().constData());
    } catch (const Errore& e) {
        console.messaggio(e.messaggio());
        esito = 1;
    }
    Desktop::installa(nullptr);
    return esito;
}

} // namespace

int main(int argc, char** argv) {
    GfeApplication app(argc, argv);
    nascondiAvvisiDriver();
    const QStringList argomenti = app.arguments();
    const qsizetype i = argomenti.indexOf(QStringLiteral("--screenshots"));
    if (i > 0) {
        if (i + 1 >= argomenti.size()) {
            std::fprintf(stderr, "uso: gfe --screenshots CARTELLA\n");
            return 2;
        }
        return fotografie(argomenti.at(i + 1));
    }
    // The user's windows come back as they were left; the screenshots never read that.
    Modulo::impostaMemoria(QSettings(QSettings::IniFormat, QSettings::UserScope,
                                     QStringLiteral("GFE"), QStringLiteral("gfe"))
                               .fileName());
    Avvio avvio;
    avvio.menu()->show();
    return app.exec();
}
