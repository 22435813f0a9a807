#include "Migrazioni.h"

QList<MigrationStep> migrazioniFatture() {
    return {
        // gfe-web's hand-offs of invoice files: recorded as in progress before the file
        // leaves; `in_corso` holds the invoice's key until the outcome is known, so one
        // invoice has at most one hand-off in progress.
        {QStringLiteral("web-1-consegne"),
         {QStringLiteral("CREATE TABLE IF NOT EXISTS gfe_consegne ("
                         "id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, "
                         "id_invio INT NOT NULL, "
                         "nome_file VARCHAR(255) NOT NULL, "
                         "canale VARCHAR(20) NOT NULL, "
                         "stato VARCHAR(20) NOT NULL, "
                         "inizio DATETIME NOT NULL, "
                         "fine DATETIME NULL, "
                         "messaggio TEXT NULL, "
                         "in_corso INT NULL, "
                         "UNIQUE KEY gfe_consegne_in_corso (in_corso), "
                         "KEY gfe_consegne_fattura (id_invio, id)"
                         ") ENGINE=InnoDB DEFAULT CHARSET=utf8mb4")}},
    };
}

void applicaMigrazioni(Connection& c) {
    Migrations::apply(c, migrazioniFatture());
}
