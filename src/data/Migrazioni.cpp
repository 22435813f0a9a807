#include "Migrazioni.h"

namespace {

const QString kTabella = QStringLiteral(" ENGINE=InnoDB DEFAULT CHARSET=utf8mb4");

// The exchange system's answers and the certified mailbox's own receipts, each kept once
// (a unique key on what identifies it), with the file itself; the messages that could not
// be read, kept aside with their reason; the file names the exchange system refused, never
// to be written again.
MigrationStep sdiRisposte() {
    return {
        QStringLiteral("sdi-1-risposte"),
        {QStringLiteral("CREATE TABLE IF NOT EXISTS sdi_notifiche ("
                        "id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, "
                        "tipo CHAR(2) NOT NULL, "
                        "identificativo_sdi VARCHAR(20) NOT NULL, "
                        "message_id VARCHAR(20) NOT NULL, "
                        "nome_messaggio VARCHAR(120) NOT NULL, "
                        "nome_file VARCHAR(100) NOT NULL, "
                        "id_invio INT NULL, "
                        "data_ricezione DATETIME NULL, "
                        "data_consegna DATETIME NULL, "
                        "esito VARCHAR(4) NULL, "
                        "descrizione TEXT NULL, "
                        "firma VARCHAR(20) NOT NULL, "
                        "origine VARCHAR(255) NOT NULL, "
                        "registrata DATETIME NOT NULL, "
                        "contenuto LONGBLOB NOT NULL, "
                        "UNIQUE KEY sdi_notifiche_chiave (identificativo_sdi, tipo, message_id), "
                        "KEY sdi_notifiche_nome_file (nome_file), "
                        "KEY sdi_notifiche_id_invio (id_invio))") +
             kTabella,
         QStringLiteral("CREATE TABLE IF NOT EXISTS sdi_errori ("
                        "notifica INT NOT NULL, "
                        "n INT NOT NULL, "
                        "codice VARCHAR(10) NOT NULL, "
                        "descrizione TEXT NULL, "
                        "suggerimento TEXT NULL, "
                        "PRIMARY KEY (notifica, n))") +
             kTabella,
         QStringLiteral("CREATE TABLE IF NOT EXISTS sdi_ricevute_pec ("
                        "id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, "
                        "chiave VARCHAR(255) NOT NULL, "
                        "tipo VARCHAR(40) NOT NULL, "
                        "data DATETIME NULL, "
                        "nome_file VARCHAR(100) NULL, "
                        "id_invio INT NULL, "
                        "oggetto TEXT NULL, "
                        "firma VARCHAR(20) NOT NULL, "
                        "origine VARCHAR(255) NOT NULL, "
                        "registrata DATETIME NOT NULL, "
                        "contenuto LONGBLOB NOT NULL, "
                        "UNIQUE KEY sdi_ricevute_pec_chiave (chiave), "
                        "KEY sdi_ricevute_pec_id_invio (id_invio))") +
             kTabella,
         QStringLiteral("CREATE TABLE IF NOT EXISTS sdi_fatture_ricevute ("
                        "nome_file VARCHAR(100) NOT NULL PRIMARY KEY, "
                        "identificativo_sdi VARCHAR(20) NULL, "
                        "prot INT NULL, "
                        "origine VARCHAR(255) NOT NULL, "
                        "registrata DATETIME NOT NULL, "
                        "metadati LONGBLOB NULL)") +
             kTabella,
         QStringLiteral("CREATE TABLE IF NOT EXISTS sdi_illeggibili ("
                        "id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, "
                        "chiave CHAR(64) NOT NULL, "
                        "origine VARCHAR(255) NOT NULL, "
                        "motivo TEXT NOT NULL, "
                        "registrata DATETIME NOT NULL, "
                        "contenuto LONGBLOB NOT NULL, "
                        "UNIQUE KEY sdi_illeggibili_chiave (chiave))") +
             kTabella,
         QStringLiteral("CREATE TABLE IF NOT EXISTS sdi_nomi_usati ("
                        "nome_file VARCHAR(100) NOT NULL PRIMARY KEY, "
                        "id_invio INT NOT NULL, "
                        "registrata DATETIME NOT NULL)") +
             kTabella}};
}

// A column widened to a size: MODIFY keeps the table's character set.
QString allarga(const char* tabella, const char* colonna, int caratteri) {
    return QStringLiteral("ALTER TABLE %1 MODIFY %2 VARCHAR(%3)")
        .arg(QLatin1String(tabella), QLatin1String(colonna))
        .arg(caratteri);
}

// Received invoices are stored whole: every column the loader fills holds the longest
// value the FatturaPA schema allows there (amounts with up to 11 digits and 8 decimals,
// numbers of 20 characters, natures like "N3.1", descriptions of 1000).
MigrationStep ricevuteIntere() {
    MigrationStep s{QStringLiteral("hard-1-ricevute-intere"), {}};
    const std::pair<const char*, int> testa[] = {
        {"rag_soc", 130},  {"indirizzo", 70},  {"comune", 60},    {"p_iva", 28},
        {"pec", 256},      {"num_doc", 20},    {"tot_doc", 21},   {"spese", 21},
        {"arrot", 21},     {"imponibile", 21}, {"imposta", 21},   {"imponibile2", 21},
        {"imposta2", 21},  {"nome_file", 60},  {"sc_perc", 6},    {"sc_importo", 21},
        {"natura", 4},     {"natura2", 4},     {"spese2", 21},    {"arrot2", 21},
        {"imp_scad1", 21}, {"imp_scad2", 21},  {"imp_scad3", 21}, {"imp_scad4", 21}};
    for (const auto& [colonna, caratteri] : testa)
        s.statements << allarga("test_car", colonna, caratteri);
    const std::pair<const char*, int> righe[] = {
        {"descrizione", 1000}, {"quantita", 21},   {"prezzo_unit", 21}, {"sc_perc", 6},
        {"sc_importo", 21},    {"prezzo_tot", 21}, {"natura", 4}};
    for (const auto& [colonna, caratteri] : righe)
        s.statements << allarga("dett_car", colonna, caratteri);
    return s;
}

// The change logs the automatic refresh follows, each fed by triggers on its table
// (every insert, update and delete), so that a refresh re-reads only what changed. A
// table without a key of its own logs only that something changed.
MigrationStep registriModifiche() {
    MigrationStep s{QStringLiteral("hard-2-registri-modifiche"), {}};
    const std::pair<const char*, const char*> tabelle[] = {
        {"testata", "id_invio"}, {"test_car", "prot"}, {"dett_car", nullptr}};
    for (const auto& [nome, chiave] : tabelle) {
        const QString t = QLatin1String(nome);
        const QString log = QStringLiteral("gfe_modifiche_") + t;
        const QString nuova = chiave ? QStringLiteral("NEW.") + QLatin1String(chiave) : u"NULL"_qs;
        const QString vecchia =
            chiave ? QStringLiteral("OLD.") + QLatin1String(chiave) : u"NULL"_qs;
        s.statements << QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (n BIGINT UNSIGNED NOT NULL "
                                       "AUTO_INCREMENT, chiave INT, PRIMARY KEY (n)) "
                                       "ENGINE=InnoDB DEFAULT CHARSET=utf8mb4")
                            .arg(log);
        const QString trigger = QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_gfe_%2 AFTER %3 ON "
                                               "%1 FOR EACH ROW INSERT INTO %4 (chiave) VALUES %5");
        s.statements << trigger.arg(t, u"ins"_qs, u"INSERT"_qs, log, u'(' + nuova + u')')
                     << trigger.arg(t, u"upd"_qs, u"UPDATE"_qs, log,
                                    u'(' + vecchia + u"), ("_qs + nuova + u')')
                     << trigger.arg(t, u"del"_qs, u"DELETE"_qs, log, u'(' + vecchia + u')');
    }
    return s;
}

// Finding an invoice among thousands: each condition of the header list's search has an
// index. `data_ordine` is the document date as "yyyymmdd", computed from `data_doc` (text
// functions only, so no text of any row can make a write fail).
MigrationStep uiRicercaFatture() {
    return {
        QStringLiteral("ui-1-ricerca-fatture"),
        {QStringLiteral(
             "ALTER TABLE testata ADD COLUMN IF NOT EXISTS data_ordine CHAR(8) AS ("
             "CONCAT(LPAD(SUBSTRING_INDEX(data_doc, '/', -1), 4, '0'), "
             "LPAD(SUBSTRING_INDEX(SUBSTRING_INDEX(data_doc, '/', 2), '/', -1), 2, '0'), "
             "LPAD(SUBSTRING_INDEX(data_doc, '/', 1), 2, '0'))) VIRTUAL"),
         QStringLiteral("CREATE INDEX IF NOT EXISTS testata_data_ordine ON testata (data_ordine)"),
         QStringLiteral("CREATE INDEX IF NOT EXISTS testata_num_doc ON testata (num_doc)"),
         QStringLiteral("CREATE INDEX IF NOT EXISTS testata_rag_soc ON testata (rag_soc)"),
         QStringLiteral("CREATE INDEX IF NOT EXISTS testata_p_iva ON testata (p_iva)")}};
}

// Writing a file checks that no other invoice holds its name, and the exchange system's
// answers find their invoice by it: one look-up in the index instead of reading every
// header.
MigrationStep speedNomeFile() {
    return {
        QStringLiteral("speed-1-nome-file"),
        {QStringLiteral("CREATE INDEX IF NOT EXISTS testata_nome_file ON testata (nome_file)")}};
}

} // namespace

QList<MigrationStep> migrazioniFatture() {
    return {
        sdiRisposte(),
        ricevuteIntere(),
        registriModifiche(),
        uiRicercaFatture(),
        speedNomeFile(),
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
                         "KEY gfe_consegne_fattura (id_invio, id)) ") +
          kTabella}},
    };
}

void applicaMigrazioni(Connection& c) {
    Migrations::apply(c, migrazioniFatture());
}
