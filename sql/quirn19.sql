-- Accounting database read by the import of sales documents: document
-- headers (testata) and their lines (dettag), as the bookkeeping program
-- keeps them. GFE only reads these tables; this file recreates them for the
-- demo and the tests.
--
-- Load it into the database selected by the client, for example
--   mariadb quirn19 < sql/quirn19.sql
-- It names no database of its own and drops its tables first, so it can be
-- loaded again at any time.
--
-- Character set: utf8mb4 / utf8mb4_general_ci, as in the invoice database.
-- VARCHAR(n) counts characters, so the sizes are the character counts
-- whatever the character set, and customer names in any script reach the
-- UTF-8 FatturaPA files unchanged.
--
-- The import's statements quote their strings with double quotes
-- (reg_doc="FV"), so the server must not run with ANSI_QUOTES.

SET NAMES utf8mb4;

DROP TABLE IF EXISTS testata;
DROP TABLE IF EXISTS dettag;

-- Document headers: sales invoices, credit notes, deferred invoices,
-- delivery notes. A delivery note billed by a deferred invoice carries that
-- invoice's protocollo in prot_f_diff.
CREATE TABLE testata (
  protocollo     INT NOT NULL,
  anno           INT,
  cl_fo          CHAR(1),
  reg_doc        VARCHAR(3),
  tipo_doc       VARCHAR(20),
  num_doc        INT,
  data           DATE,
  movimento      INT,
  codice_soc     INT,
  rag_soc        VARCHAR(60),
  indirizzo      VARCHAR(50),
  cap            VARCHAR(5),
  citta          VARCHAR(40),
  dest_soc       VARCHAR(60),
  dest_indirizzo VARCHAR(60),
  dest_cap       VARCHAR(5),
  dest_citta     VARCHAR(40),
  partiva        VARCHAR(11),
  cod_fis        VARCHAR(16),
  cod_pag        INT,
  desc_pag       VARCHAR(30),
  cod_sped       INT,
  spedizione     VARCHAR(30),
  cod_cons       INT,
  consegna       VARCHAR(30),
  esente         TINYINT(1),
  esenzione1     VARCHAR(50),
  esenzione2     VARCHAR(50),
  colli          VARCHAR(5),
  aspetto        VARCHAR(30),
  causale        VARCHAR(15),
  data_tr        DATE,
  sc_cassa       DOUBLE,
  imponibile1    DOUBLE,
  val_sconto1    DOUBLE,
  imponibile2    DOUBLE,
  val_sconto2    DOUBLE,
  imponibile3    DOUBLE,
  val_sconto3    DOUBLE,
  iva1           DOUBLE,
  iva2           DOUBLE,
  iva3           DOUBLE,
  abbuono        DOUBLE,
  spese_inc      DOUBLE,
  spese_tr       DOUBLE,
  bolli          DOUBLE,
  aliq_spese     DOUBLE,
  imponibile4    DOUBLE,
  iva4           DOUBLE,
  val_sconto4    DOUBLE,
  val_provv      DOUBLE,
  note1          VARCHAR(70),
  note2          VARCHAR(70),
  rif_doc        VARCHAR(15),
  ora_trasp      VARCHAR(5),
  pagato         DOUBLE,
  cod_age        INT,
  in_contab      INT,
  prot_contab    INT,
  prot_f_diff    INT,
  rettifica      VARCHAR(1),
  selezione      TINYINT(1),
  rate           INT,
  ora            VARCHAR(5),
  utente         VARCHAR(12),
  acconto        DOUBLE,
  imponibile5    DOUBLE,
  iva5           DOUBLE,
  val_sconto5    DOUBLE,
  aliquota5      DOUBLE,
  aliquota1      DOUBLE,
  aliquota2      DOUBLE,
  aliquota3      DOUBLE,
  aliquota4      DOUBLE,
  prov           VARCHAR(4),
  cod_destinatario VARCHAR(7),
  pec            VARCHAR(60),
  PRIMARY KEY (protocollo),
  KEY testata_anno_reg_doc (anno, reg_doc)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;

-- Document lines; prot_testa is the header's protocollo.
CREATE TABLE dettag (
  prot_testa     INT,
  protocollo     INT,
  codice_art     INT,
  descrizione    VARCHAR(60),
  colli          INT,
  quantita       DOUBLE,
  pr_lordo       DOUBLE,
  sc_1           DOUBLE,
  sc_2           DOUBLE,
  sc_3           DOUBLE,
  um             VARCHAR(2),
  aliquota       DOUBLE,
  data_doc       DATE,
  omaggio        DOUBLE,
  cod_art        VARCHAR(20),
  provvigione    DOUBLE,
  costo          DOUBLE,
  testo          TEXT,
  iva2           DOUBLE,
  qt_fatt        DOUBLE,
  cod_fo         INT,
  categoria      VARCHAR(3),
  origine        VARCHAR(20),
  lotto          VARCHAR(20),
  scadenza       DATE,
  qt_testo       VARCHAR(10),
  pr_testo       VARCHAR(10),
  art_omaggio    VARCHAR(1),
  KEY dettag_prot_testa (prot_testa)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci;
