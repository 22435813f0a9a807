-- GFE invoice database: sales invoices, their lines and references, company
-- data, customers, suppliers, warehouse articles and received invoices.
--
-- Load it into the database selected by the client, for example
--   mariadb xml_quirn < sql/xml_quirn.sql
-- It names no database of its own, so the same file serves the working
-- database and the throw-away databases of the test suite. Every table is
-- dropped first, so loading it again starts from empty tables.
--
-- Character set: every table is utf8mb4 / utf8mb4_general_ci. VARCHAR(n)
-- counts characters, not bytes, so the column sizes below are the character
-- counts the program works with whatever the character set. The FatturaPA
-- files are UTF-8, so with utf8mb4 any name a customer has (accented letters,
-- the euro sign, other scripts) is stored and written back without loss.
--
-- Amounts, quantities, rates and dates are text in the Italian form
-- ("1234,50", "15/03/2023"): the program formats and reads them itself.

SET NAMES utf8mb4;

DROP TABLE IF EXISTS testata;
DROP TABLE IF EXISTS dettaglio;
DROP TABLE IF EXISTS test_dati;
DROP TABLE IF EXISTS dati_acquisto;
DROP TABLE IF EXISTS azienda;
DROP TABLE IF EXISTS clienti;
DROP TABLE IF EXISTS fornitori;
DROP TABLE IF EXISTS magazzino;
DROP TABLE IF EXISTS test_car;
DROP TABLE IF EXISTS dett_car;
DROP TABLE IF EXISTS gfe_modifiche_testata;
DROP TABLE IF EXISTS gfe_modifiche_test_car;
DROP TABLE IF EXISTS gfe_modifiche_dett_car;

-- Sales invoice headers. The protocol number shown in the invoice list is
-- computed by the program from id_invio and nome_file; it is not stored.
CREATE TABLE testata (
  id_invio      INT NOT NULL AUTO_INCREMENT,
  rag_soc       VARCHAR(60),
  indirizzo     VARCHAR(60),
  comune        VARCHAR(50),
  cap           VARCHAR(5),
  prov          VARCHAR(4),
  nazione       VARCHAR(10),
  p_iva         VARCHAR(11),
  cod_fis       VARCHAR(16),
  cod_dest      VARCHAR(7),
  pec           VARCHAR(60),
  data_doc      VARCHAR(10),
  num_doc       VARCHAR(10),
  tot_doc       VARCHAR(12),
  tipo_doc      VARCHAR(4),
  tipo_pag      VARCHAR(4),
  mod_pag       VARCHAR(4),
  n_rate        INT,
  scad1         VARCHAR(10),
  scad2         VARCHAR(10),
  scad3         VARCHAR(10),
  scad4         VARCHAR(10),
  spese         VARCHAR(12),
  arrot         VARCHAR(12),
  imponibile    VARCHAR(12),
  imposta       VARCHAR(12),
  aliquota      VARCHAR(6),
  imponibile2   VARCHAR(12),
  imposta2      VARCHAR(12),
  aliquota2     VARCHAR(6),
  esig_iva      VARCHAR(1),
  esig_iva2     VARCHAR(1),
  nome_file     VARCHAR(25),
  sc_tipo       VARCHAR(2),
  sc_perc       VARCHAR(4),
  sc_importo    VARCHAR(12),
  spese2        VARCHAR(12),
  arrot2        VARCHAR(12),
  natura        VARCHAR(4),
  natura2       VARCHAR(4),
  normativa     VARCHAR(100),
  normativa2    VARCHAR(100),
  tot_omaggio   VARCHAR(12),
  tot_omaggio2  VARCHAR(12),
  trasporto     VARCHAR(25),
  inviata       TINYINT(1) NOT NULL DEFAULT 0,
  dest_soc      VARCHAR(60),
  dest_comune   VARCHAR(50),
  dest_indir    VARCHAR(60),
  dest_cap      VARCHAR(5),
  porto         VARCHAR(15),
  aspetto       VARCHAR(30),
  colli         VARCHAR(10),
  causale       VARCHAR(15),
  imponibile3   VARCHAR(12),
  imposta3      VARCHAR(12),
  aliquota3     VARCHAR(6),
  esig_iva3     VARCHAR(1),
  spese3        VARCHAR(12),
  arrot3        VARCHAR(12),
  natura3       VARCHAR(4),
  normativa3    VARCHAR(100),
  tot_omaggio3  VARCHAR(12),
  reg_doc       VARCHAR(3),
  imponibile4   VARCHAR(12),
  imposta4      VARCHAR(12),
  aliquota4     VARCHAR(6),
  esig_iva4     VARCHAR(1),
  natura4       VARCHAR(4),
  PRIMARY KEY (id_invio)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Invoice lines; id_invio is the header's key.
CREATE TABLE dettaglio (
  id_invio      INT,
  prog          INT,
  codice_tipo   VARCHAR(35),
  codice_val    VARCHAR(35),
  descrizione   VARCHAR(100),
  quantita      VARCHAR(12),
  um            VARCHAR(10),
  prezzo_unit   VARCHAR(12),
  sc_tipo       VARCHAR(2),
  sc_perc       VARCHAR(6),
  sc_importo    VARCHAR(12),
  prezzo_tot    VARCHAR(12),
  aliquota      VARCHAR(6),
  tipo_cessione VARCHAR(2),
  ritenuta      VARCHAR(2),
  natura        VARCHAR(4),
  rif_amm       VARCHAR(20),
  categoria     VARCHAR(3),
  lotto         VARCHAR(20),
  origine       VARCHAR(20),
  KEY dettaglio_id_invio (id_invio)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Kinds of references attached to an invoice (order, contract, ...).
CREATE TABLE test_dati (
  id_invio      INT,
  tipo          VARCHAR(20),
  KEY test_dati_id_invio (id_invio)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- The references of one kind of one invoice.
CREATE TABLE dati_acquisto (
  id_invio      INT,
  tipo          VARCHAR(20),
  n_linea       INT,
  id_documento  VARCHAR(20),
  data          VARCHAR(10),
  numero        VARCHAR(20),
  cod_comm      VARCHAR(100),
  cup           VARCHAR(15),
  cig           VARCHAR(15),
  KEY dati_acquisto_id_invio_tipo (id_invio, tipo)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- The business's own data: one row.
CREATE TABLE azienda (
  codice        INT NOT NULL AUTO_INCREMENT,
  rag_soc       VARCHAR(60),
  p_iva         VARCHAR(11),
  cod_fis       VARCHAR(16),
  reg_fisc      VARCHAR(4),
  indirizzo     VARCHAR(60),
  cap           VARCHAR(5),
  comune        VARCHAR(50),
  prov          VARCHAR(4),
  nazione       VARCHAR(10),
  uff_rea       VARCHAR(4),
  num_rea       VARCHAR(8),
  capit_soc     VARCHAR(10),
  soc_uni       VARCHAR(2),
  stato_liq     VARCHAR(2),
  mail          VARCHAR(60),
  telefono      VARCHAR(12),
  path          VARCHAR(40),
  iban          VARCHAR(27),
  PRIMARY KEY (codice)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Customers.
CREATE TABLE clienti (
  id            INT NOT NULL AUTO_INCREMENT,
  rag_soc       VARCHAR(60),
  indirizzo     VARCHAR(60),
  comune        VARCHAR(50),
  cap           VARCHAR(5),
  prov          VARCHAR(4),
  nazione       VARCHAR(10),
  p_iva         VARCHAR(11),
  cod_fis       VARCHAR(16),
  cod_dest      VARCHAR(7),
  pec           VARCHAR(60),
  dest_soc      VARCHAR(60),
  dest_comune   VARCHAR(50),
  dest_indir    VARCHAR(60),
  dest_cap      VARCHAR(5),
  PRIMARY KEY (id),
  KEY clienti_rag_soc (rag_soc)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Suppliers.
CREATE TABLE fornitori (
  id               INT NOT NULL AUTO_INCREMENT,
  rag_soc          VARCHAR(60),
  indirizzo        VARCHAR(60),
  comune           VARCHAR(50),
  cap              VARCHAR(5),
  prov             VARCHAR(4),
  nazione          VARCHAR(20),
  p_iva            VARCHAR(11),
  cod_fis          VARCHAR(16),
  cod_destinatario VARCHAR(7),
  pec              VARCHAR(60),
  PRIMARY KEY (id),
  KEY fornitori_rag_soc (rag_soc)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Warehouse articles.
CREATE TABLE magazzino (
  id               INT NOT NULL AUTO_INCREMENT,
  descrizione      VARCHAR(100),
  codice_tipo      VARCHAR(35),
  codice_val       VARCHAR(35),
  esistenza        VARCHAR(12),
  um               VARCHAR(10),
  prezzo_unit      VARCHAR(12),
  sc_tipo          VARCHAR(2),
  sc_perc          VARCHAR(4),
  sc_importo       VARCHAR(12),
  prezzo_tot       VARCHAR(12),
  costo_unit       VARCHAR(12),
  sc_costo_tipo    VARCHAR(2),
  sc_costo_perc    VARCHAR(4),
  sc_costo_importo VARCHAR(12),
  costo_tot        VARCHAR(12),
  aliquota         VARCHAR(6),
  PRIMARY KEY (id),
  KEY magazzino_codice_val (codice_val)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Received purchase invoices, one row per invoice; the name and address
-- columns hold the supplier's data.
CREATE TABLE test_car (
  prot             INT NOT NULL AUTO_INCREMENT,
  rag_soc          VARCHAR(130),
  indirizzo        VARCHAR(70),
  comune           VARCHAR(60),
  cap              VARCHAR(5),
  prov             VARCHAR(4),
  nazione          VARCHAR(20),
  p_iva            VARCHAR(28),
  cod_fis          VARCHAR(16),
  cod_destinatario VARCHAR(7),
  pec              VARCHAR(256),
  data_doc         VARCHAR(10),
  num_doc          VARCHAR(20),
  tot_doc          VARCHAR(21),
  tipo_doc         VARCHAR(4),
  tipo_pag         VARCHAR(4),
  mod_pag          VARCHAR(4),
  n_rate           INT,
  scad1            VARCHAR(10),
  scad2            VARCHAR(10),
  scad3            VARCHAR(10),
  scad4            VARCHAR(10),
  spese            VARCHAR(21),
  arrot            VARCHAR(21),
  imponibile       VARCHAR(21),
  imposta          VARCHAR(21),
  aliquota         VARCHAR(6),
  imponibile2      VARCHAR(21),
  imposta2         VARCHAR(21),
  aliquota2        VARCHAR(6),
  esig_iva         VARCHAR(1),
  esig_iva2        VARCHAR(1),
  nome_file        VARCHAR(60),
  sc_tipo          VARCHAR(2),
  sc_perc          VARCHAR(6),
  sc_importo       VARCHAR(21),
  natura           VARCHAR(4),
  natura2          VARCHAR(4),
  spese2           VARCHAR(21),
  arrot2           VARCHAR(21),
  normativa        VARCHAR(100),
  normativa2       VARCHAR(100),
  imp_scad1        VARCHAR(21),
  imp_scad2        VARCHAR(21),
  imp_scad3        VARCHAR(21),
  imp_scad4        VARCHAR(21),
  PRIMARY KEY (prot)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Lines of the received invoices; prot_car is the header's prot.
CREATE TABLE dett_car (
  prot_car      INT,
  prog          INT,
  codice_tipo   VARCHAR(35),
  codice_val    VARCHAR(35),
  descrizione   VARCHAR(1000),
  quantita      VARCHAR(21),
  um            VARCHAR(10),
  prezzo_unit   VARCHAR(21),
  sc_tipo       VARCHAR(2),
  sc_perc       VARCHAR(6),
  sc_importo    VARCHAR(21),
  prezzo_tot    VARCHAR(21),
  aliquota      VARCHAR(6),
  tipo_cessione VARCHAR(2),
  ritenuta      VARCHAR(2),
  natura        VARCHAR(4),
  rif_amm       VARCHAR(20),
  KEY dett_car_prot_car (prot_car)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Change logs of the tables the program refreshes automatically. Triggers add
-- one entry per row written (by any program), with the row's key (both keys
-- when an update changes it; no key for a table without one). A refresh reads
-- only the entries after the last one it has seen and re-reads only their
-- rows, so its cost follows what changed, not the size of the table. The log
-- only grows; it may be emptied when no program is running. A database
-- without these objects is refreshed by comparing row signatures instead.

CREATE TABLE gfe_modifiche_testata (
  n             BIGINT UNSIGNED NOT NULL AUTO_INCREMENT,
  chiave        INT,
  PRIMARY KEY (n)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

CREATE TRIGGER testata_gfe_ins AFTER INSERT ON testata FOR EACH ROW
  INSERT INTO gfe_modifiche_testata (chiave) VALUES (NEW.id_invio);
CREATE TRIGGER testata_gfe_upd AFTER UPDATE ON testata FOR EACH ROW
  INSERT INTO gfe_modifiche_testata (chiave) VALUES (OLD.id_invio), (NEW.id_invio);
CREATE TRIGGER testata_gfe_del AFTER DELETE ON testata FOR EACH ROW
  INSERT INTO gfe_modifiche_testata (chiave) VALUES (OLD.id_invio);

CREATE TABLE gfe_modifiche_test_car (
  n             BIGINT UNSIGNED NOT NULL AUTO_INCREMENT,
  chiave        INT,
  PRIMARY KEY (n)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

CREATE TRIGGER test_car_gfe_ins AFTER INSERT ON test_car FOR EACH ROW
  INSERT INTO gfe_modifiche_test_car (chiave) VALUES (NEW.prot);
CREATE TRIGGER test_car_gfe_upd AFTER UPDATE ON test_car FOR EACH ROW
  INSERT INTO gfe_modifiche_test_car (chiave) VALUES (OLD.prot), (NEW.prot);
CREATE TRIGGER test_car_gfe_del AFTER DELETE ON test_car FOR EACH ROW
  INSERT INTO gfe_modifiche_test_car (chiave) VALUES (OLD.prot);

CREATE TABLE gfe_modifiche_dett_car (
  n             BIGINT UNSIGNED NOT NULL AUTO_INCREMENT,
  chiave        INT,
  PRIMARY KEY (n)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

CREATE TRIGGER dett_car_gfe_ins AFTER INSERT ON dett_car FOR EACH ROW
  INSERT INTO gfe_modifiche_dett_car (chiave) VALUES (NULL);
CREATE TRIGGER dett_car_gfe_upd AFTER UPDATE ON dett_car FOR EACH ROW
  INSERT INTO gfe_modifiche_dett_car (chiave) VALUES (NULL);
CREATE TRIGGER dett_car_gfe_del AFTER DELETE ON dett_car FOR EACH ROW
  INSERT INTO gfe_modifiche_dett_car (chiave) VALUES (NULL);
