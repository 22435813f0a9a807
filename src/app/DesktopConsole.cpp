#include "DesktopConsole.h"

#include <cstdio>

namespace {
void scrivi(const QString& testo) {
    std::fprintf(stderr, "gfe: %s\n", testo.toLocal8Bit().constData());
}
} // namespace

void DesktopConsole::messaggio(const QString& testo) {
    scrivi(testo);
}

bool DesktopConsole::conferma(const QString& domanda) {
    scrivi(domanda + QStringLiteral(" No"));
    return false;
}

void DesktopConsole::apriIndirizzo(const QString& indirizzo) {
    scrivi(QStringLiteral("(non aperto) ") + indirizzo);
}
