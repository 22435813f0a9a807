#include "Migrazioni.h"

QList<MigrationStep> migrazioniFatture() {
    return {
        // Finding an invoice among thousands: each condition of the header list's search
        // has an index. `data_ordine` is the document date as "yyyymmdd", computed from
        // `data_doc` (text functions only, so no text of any row can make a write fail).
        {QStringLiteral("ui-1-ricerca-fatture"),
         {QStringLiteral(
              "ALTER TABLE testata ADD COLUMN IF NOT EXISTS data_ordine CHAR(8) AS ("
              "CONCAT(LPAD(SUBSTRING_INDEX(data_doc, '/', -1), 4, '0'), "
              "LPAD(SUBSTRING_INDEX(SUBSTRING_INDEX(data_doc, '/', 2), '/', -1), 2, '0'), "
              "LPAD(SUBSTRING_INDEX(data_doc, '/', 1), 2, '0'))) VIRTUAL"),
          QStringLiteral("CREATE INDEX IF NOT EXISTS testata_data_ordine ON testata (data_ordine)"),
          QStringLiteral("CREATE INDEX IF NOT EXISTS testata_num_doc ON testata (num_doc)"),
          QStringLiteral("CREATE INDEX IF NOT EXISTS testata_rag_soc ON testata (rag_soc)"),
          QStringLiteral("CREATE INDEX IF NOT EXISTS testata_p_iva ON testata (p_iva)")}},
    };
}

void applicaMigrazioni(Connection& c) {
    Migrations::apply(c, migrazioniFatture());
}
