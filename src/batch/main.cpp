#include "batch/Batch.h"
#include "platform/AvvisiDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    nascondiAvvisiDriver();
    QCoreApplication::setApplicationName(QStringLiteral("gfe-batch"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    Batch batch(out, err);
    return batch.esegui(QCoreApplication::arguments(), QDir::currentPath());
}
