#include "Migrazioni.h"

QList<MigrationStep> migrazioniFatture() {
    return {};
}

void applicaMigrazioni(Connection& c) {
    Migrations::apply(c, migrazioniFatture());
}
