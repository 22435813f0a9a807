-- The invoice database as an existing installation has it, for the tests: latin1
-- tables, TINYINT(1) flags, no keys but the auto-increment ones, and none of the
-- program's own tables or triggers (the program adds what it needs at log-in).
-- Loaded like sql/xml_quirn.sql, into the database the client has selected.

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
) ENGINE=InnoDB DEFAULT CHARSET=latin1;

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
  origine       VARCHAR(20)
) ENGINE=InnoDB DEFAULT CHARSET=latin1;

-- Kinds of references attached to an invoice (order, contract, ...).
CREATE TABLE test_dati (
  id_invio      INT,
  tipo          VARCHAR(20)
) ENGINE=InnoDB DEFAULT CHARSET=latin1;

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
  cig           VARCHAR(15)
) ENGINE=InnoDB DEFAULT CHARSET=latin1;

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
) ENGINE=InnoDB DEFAULT CHARSET=latin1;

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
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=latin1;

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
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=latin1;

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
  PRIMARY KEY (id)
) ENGINE=InnoDB DEFAULT CHARSET=latin1;

-- Received purchase invoices, one row per invoice; the name and address
-- columns hold the supplier's data.
CREATE TABLE test_car (
  prot             INT NOT NULL AUTO_INCREMENT,
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
  data_doc         VARCHAR(10),
  num_doc          VARCHAR(10),
  tot_doc          VARCHAR(12),
  tipo_doc         VARCHAR(4),
  tipo_pag         VARCHAR(4),
  mod_pag          VARCHAR(4),
  n_rate           INT,
  scad1            VARCHAR(10),
  scad2            VARCHAR(10),
  scad3            VARCHAR(10),
  scad4            VARCHAR(10),
  spese            VARCHAR(12),
  arrot            VARCHAR(12),
  imponibile       VARCHAR(12),
  imposta          VARCHAR(12),
  aliquota         VARCHAR(6),
  imponibile2      VARCHAR(12),
  imposta2         VARCHAR(12),
  aliquota2        VARCHAR(6),
  esig_iva         VARCHAR(1),
  esig_iva2        VARCHAR(1),
  nome_file        VARCHAR(40),
  sc_tipo          VARCHAR(2),
  sc_perc          VARCHAR(4),
  sc_importo       VARCHAR(12),
  natura           VARCHAR(2),
  natura2          VARCHAR(2),
  spese2           VARCHAR(12),
  arrot2           VARCHAR(12),
  normativa        VARCHAR(100),
  normativa2       VARCHAR(100),
  imp_scad1        VARCHAR(12),
  imp_scad2        VARCHAR(12),
  imp_scad3        VARCHAR(12),
  imp_scad4        VARCHAR(12),
  PRIMARY KEY (prot)
) ENGINE=InnoDB DEFAULT CHARSET=latin1;

-- Lines of the received invoices; prot_car is the header's prot.
CREATE TABLE dett_car (
  prot_car      INT,
  prog          INT,
  codice_tipo   VARCHAR(35),
  codice_val    VARCHAR(35),
  descrizione   VARCHAR(100),
  quantita      VARCHAR(12),
  um            VARCHAR(10),
  prezzo_unit   VARCHAR(12),
  sc_tipo       VARCHAR(2),
  sc_perc       VARCHAR(4),
  sc_importo    VARCHAR(12),
  prezzo_tot    VARCHAR(12),
  aliquota      VARCHAR(6),
  tipo_cessione VARCHAR(2),
  ritenuta      VARCHAR(2),
  natura        VARCHAR(2),
  rif_amm       VARCHAR(20)
) ENGINE=InnoDB DEFAULT CHARSET=latin1;
