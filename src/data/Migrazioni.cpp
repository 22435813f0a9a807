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
    return {sdiRisposte(), speedNomeFile()};
}

void applicaMigrazioni(Connection& c) {
    Migrations::apply(c, migrazioniFatture());
}
