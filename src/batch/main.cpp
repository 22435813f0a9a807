#include "batch/Batch.h"
#include "platform/AvvisiDriver.h"
#include "platform/Traduzioni.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    // Printing lays out text in fonts, which needs a GUI application; it never opens a
    // window, so it runs on the offscreen platform without a display.
    const bool stampa = argc > 1 && (std::strcmp(argv[1], "print") == 0 ||
                                     std::strcmp(argv[1], "print-purchase") == 0 ||
                                     std::strcmp(argv[1], "copia") == 0);
    std::unique_ptr<QCoreApplication> app;
    if (stampa) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    nascondiAvvisiDriver();
    // The help's headings and the option errors come from Qt's texts: Italian too.
    caricaTraduzioni(*app);
    QCoreApplication::setApplicationName(QStringLiteral("gfe-batch"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    Batch batch(out, err);
    return batch.esegui(QCoreApplication::arguments(), QDir::currentPath());
}
