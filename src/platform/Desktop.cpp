#include "Desktop.h"

#include "QtDesktop.h"

namespace {
Desktop* g_installato = nullptr;
} // namespace

Desktop& Desktop::corrente() {
    static QtDesktop reale;
    return g_installato ? *g_installato : reale;
}

void Desktop::installa(Desktop* desktop) {
    g_installato = desktop;
}
