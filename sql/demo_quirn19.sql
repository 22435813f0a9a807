-- Demo data of the accounting database: sales documents of 2023 for the
-- import of the invoice window. Load it after quirn19.sql into the same
-- database (scripts/db reset does).
--
--   1001  FV 15   invoice, three lines (one counted in packages, one with a
--                 discount) and transport expenses
--   1002  NC 2    credit note
--   1003  FD 7    deferred invoice billing the delivery notes 1004 and 1005
--   1004  BO 31   delivery note, billed by 1003
--   1005  BO 35   delivery note at two VAT rates, billed by 1003
--   1006  FI 3    invoice to a foreign customer, not taxable
--   1007  FV 16   invoice to a public administration office, two discounts
--   1008  FV 40   invoice of 2022: never imported
--   1009  BO 36   delivery note not billed yet
--
-- Header amounts are those of the lines (net of line discounts, VAT rounded
-- to the cent).

SET NAMES utf8mb4;

INSERT INTO testata
  (protocollo, anno, cl_fo, reg_doc, tipo_doc, num_doc, data, movimento, codice_soc,
   rag_soc, indirizzo, cap, citta, dest_soc, dest_indirizzo, dest_cap, dest_citta,
   partiva, cod_fis, cod_pag, desc_pag, esente, colli, aspetto, causale, data_tr, sc_cassa,
   imponibile1, val_sconto1, imponibile2, val_sconto2, imponibile3, val_sconto3,
   iva1, iva2, iva3, abbuono, spese_inc, spese_tr, bolli, aliq_spese,
   imponibile4, iva4, val_sconto4, val_provv, note1, pagato, in_contab, prot_f_diff,
   selezione, rate, utente, acconto, imponibile5, iva5, val_sconto5,
   aliquota5, aliquota1, aliquota2, aliquota3, aliquota4,
   prov, cod_destinatario, pec)
VALUES
  -- 50,00 + 160,20 + 25,00 = 235,20 at 22% (VAT 51,74), transport 10,00
  -- with 2,20 VAT: total 299,14.
  (1001, 2023, 'C', 'FV', 'FATTURA', 15, '2023-03-10', 1, 101,
   'VERDI ARREDAMENTI SRL', 'Via Garibaldi 10', '36100', 'Vicenza',
   'VERDI ARREDAMENTI SRL', 'Via dell''Economia 88', '36100', 'Vicenza',
   '06789012348', '06789012348', 3, 'BONIFICO 30 GG D.F.', 0, '3', 'CARTONI', 'VENDITA', '2023-03-10', 0,
   235.2, 0, 0, 0, 0, 0,
   51.74, 0, 0, 0, 0, 10, 0, 22,
   0, 0, 0, 0, 'CONSEGNA AL PIANO', 0, 0, NULL,
   0, 1, 'ADMIN', 0, 0, 0, 0,
   0, 22, 0, 0, 0,
   'VI', 'T9K4ZHO', ''),
  -- Credit note: return of one drill, 80,10 at 22% (VAT 17,62).
  (1002, 2023, 'C', 'NC', 'NOTA DI CREDITO', 2, '2023-03-20', 2, 101,
   'VERDI ARREDAMENTI SRL', 'Via Garibaldi 10', '36100', 'Vicenza',
   '', '', '', '',
   '06789012348', '06789012348', 3, 'BONIFICO 30 GG D.F.', 0, '', '', 'RESO', NULL, 0,
   80.1, 0, 0, 0, 0, 0,
   17.62, 0, 0, 0, 0, 0, 0, 0,
   0, 0, 0, 0, 'RESO MERCE DIFETTOSA', 0, 0, NULL,
   0, 1, 'ADMIN', 0, 0, 0, 0,
   0, 22, 0, 0, 0,
   'VI', 'T9K4ZHO', ''),
  -- Deferred invoice of the notes 1004 and 1005: 436,00 at 22% (VAT 95,92)
  -- and 180,00 at 10% (VAT 18,00); total 729,92.
  (1003, 2023, 'C', 'FD', 'FATTURA DIFFERITA', 7, '2023-03-31', 3, 102,
   'IMPRESA EDILE NERI SNC', 'Via Matteotti 21', '37045', 'Legnago',
   '', '', '', '',
   '07890123453', '07890123453', 1, 'RIMESSA DIRETTA', 0, '', '', 'VENDITA', NULL, 0,
   436, 0, 180, 0, 0, 0,
   95.92, 18, 0, 0, 0, 0, 0, 0,
   0, 0, 0, 0, '', 0, 0, NULL,
   0, 1, 'ADMIN', 0, 0, 0, 0,
   0, 22, 10, 0, 0,
   'VR', NULL, 'impresa.neri@pec.it'),
  (1004, 2023, 'C', 'BO', 'BOLLA', 31, '2023-03-14', 4, 102,
   'IMPRESA EDILE NERI SNC', 'Via Matteotti 21', '37045', 'Legnago',
   'CANTIERE VIA MANZONI', 'Via Manzoni 4', '37045', 'Legnago',
   '07890123453', '07890123453', 1, 'RIMESSA DIRETTA', 0, '22', 'SACCHI, BIG BAG', 'VENDITA', '2023-03-14', 0,
   220, 0, 0, 0, 0, 0,
   48.4, 0, 0, 0, 0, 0, 0, 0,
   0, 0, 0, 0, '', 0, 0, 1003,
   0, 0, 'ADMIN', 0, 0, 0, 0,
   0, 22, 0, 0, 0,
   'VR', NULL, 'impresa.neri@pec.it'),
  (1005, 2023, 'C', 'BO', 'BOLLA', 35, '2023-03-24', 5, 102,
   'IMPRESA EDILE NERI SNC', 'Via Matteotti 21', '37045', 'Legnago',
   'CANTIERE PIAZZA LIBERTÀ', 'Piazza della Libertà 2', '37045', 'Legnago',
   '07890123453', '07890123453', 1, 'RIMESSA DIRETTA', 0, '30', 'BARRE', 'VENDITA', '2023-03-24', 0,
   216, 0, 180, 0, 0, 0,
   47.52, 18, 0, 0, 0, 0, 0, 0,
   0, 0, 0, 0, '', 0, 0, 1003,
   0, 0, 'ADMIN', 0, 0, 0, 0,
   0, 22, 10, 0, 0,
   'VR', NULL, 'impresa.neri@pec.it'),
  -- Foreign customer (intra-EU, province IN): 1250,00 not taxable, in slot 3.
  (1006, 2023, 'C', 'FI', 'FATTURA ESTERO', 3, '2023-03-28', 6, 103,
   'COMERCIAL IBÉRICA S.L.', 'Calle Mayor 12', '28013', 'Madrid',
   '', '', '', '',
   'B12345678', '', 3, 'BONIFICO 30 GG D.F.', 1, '1', 'PALLET', 'VENDITA', '2023-03-28', 0,
   0, 0, 0, 0, 1250, 0,
   0, 0, 0, 0, 0, 0, 0, 0,
   0, 0, 0, 0, 'NON IMPONIBILE ART. 41 D.L. 331/93', 0, 0, NULL,
   0, 1, 'ADMIN', 0, 0, 0, 0,
   0, 0, 0, 0, 0,
   'IN', 'XXXXXXX', ''),
  -- Public administration office (six-character code): 20 reams at 4,20
  -- less 5% and 2%: 3,9102 each, 78,20 at 22% (VAT 17,20).
  (1007, 2023, 'C', 'FV', 'FATTURA', 16, '2023-04-12', 7, 104,
   'ISTITUTO COMPRENSIVO "G. VERDI"', 'Via delle Scuole 3', '37047', 'San Bonifacio',
   '', '', '', '',
   '', '80012345676', 3, 'BONIFICO 30 GG D.F.', 0, '2', 'CARTONI', 'VENDITA', '2023-04-12', 0,
   78.2, 0, 0, 0, 0, 0,
   17.2, 0, 0, 0, 0, 0, 0, 0,
   0, 0, 0, 0, 'ORDINE DET. 52/2023', 0, 0, NULL,
   0, 1, 'ADMIN', 0, 0, 0, 0,
   0, 22, 0, 0, 0,
   'VR', 'UFQ7ZB', ''),
  (1008, 2022, 'C', 'FV', 'FATTURA', 40, '2022-12-20', 8, 101,
   'VERDI ARREDAMENTI SRL', 'Via Garibaldi 10', '36100', 'Vicenza',
   '', '', '', '',
   '06789012348', '06789012348', 3, 'BONIFICO 30 GG D.F.', 0, '1', 'CARTONI', 'VENDITA', '2022-12-20', 0,
   39, 0, 0, 0, 0, 0,
   8.58, 0, 0, 0, 0, 0, 0, 0,
   0, 0, 0, 0, '', 0, 0, NULL,
   0, 1, 'ADMIN', 0, 0, 0, 0,
   0, 22, 0, 0, 0,
   'VI', 'T9K4ZHO', ''),
  (1009, 2023, 'C', 'BO', 'BOLLA', 36, '2023-04-20', 9, 102,
   'IMPRESA EDILE NERI SNC', 'Via Matteotti 21', '37045', 'Legnago',
   'CANTIERE VIA MANZONI', 'Via Manzoni 4', '37045', 'Legnago',
   '07890123453', '07890123453', 1, 'RIMESSA DIRETTA', 0, '10', 'SACCHI', 'VENDITA', '2023-04-20', 0,
   65, 0, 0, 0, 0, 0,
   14.3, 0, 0, 0, 0, 0, 0, 0,
   0, 0, 0, 0, '', 0, 0, NULL,
   0, 0, 'ADMIN', 0, 0, 0, 0,
   0, 22, 0, 0, 0,
   'VR', NULL, 'impresa.neri@pec.it');

INSERT INTO dettag
  (prot_testa, protocollo, codice_art, descrizione, colli, quantita, pr_lordo,
   sc_1, sc_2, sc_3, um, aliquota, data_doc, omaggio, cod_art, provvigione, costo,
   testo, iva2, qt_fatt, cod_fo, categoria, origine, lotto, scadenza, art_omaggio)
VALUES
  -- FV 15
  (1001, 1, 1, 'VITI AUTOFILETTANTI 4X40 CONF. 100', 0, 5, 10,
   0, 0, 0, 'PZ', 22, '2023-03-10', 0, 'VIT440', 0, 6,
   NULL, 0, 5, 1, 'FER', 'ITALIA', '', NULL, 'N'),
  (1001, 2, 4, 'TRAPANO AVVITATORE 18V', 0, 2, 89,
   10, 0, 0, 'PZ', 22, '2023-03-10', 0, 'TRAP18', 0, 55,
   NULL, 0, 2, 1, 'ELU', 'CINA', 'L2023-118', NULL, 'N'),
  (1001, 3, 2, 'TASSELLI NYLON 8MM (CARTONE DA 50)', 2, 100, 12.5,
   0, 0, 0, 'CL', 22, '2023-03-10', 0, 'TAS08', 0, 7,
   NULL, 0, 100, 1, 'FER', 'GERMANIA', '', NULL, 'N'),
  -- NC 2
  (1002, 4, 4, 'RESO TRAPANO AVVITATORE 18V', 0, 1, 80.1,
   0, 0, 0, 'PZ', 22, '2023-03-20', 0, 'TRAP18', 0, 55,
   'Difetto della batteria', 0, 1, 1, 'ELU', 'CINA', 'L2023-118', NULL, 'N'),
  -- BO 31 (billed by FD 7)
  (1004, 5, 7, 'CEMENTO 32,5 SACCO 25 KG', 0, 20, 6.5,
   0, 0, 0, 'PZ', 22, '2023-03-14', 0, 'CEM325', 0, 4.1,
   NULL, 0, 20, 2, 'EDI', 'ITALIA', 'C-0314', NULL, 'N'),
  (1004, 6, 8, 'SABBIA LAVATA BIG BAG', 0, 2, 45,
   0, 0, 0, 'PZ', 22, '2023-03-14', 0, 'SABBIA', 0, 30,
   NULL, 0, 2, 2, 'EDI', 'ITALIA', '', NULL, 'N'),
  -- BO 35 (billed by FD 7)
  (1005, 7, 9, 'TONDINO FERRO 12MM BARRA 6 M', 0, 30, 7.2,
   0, 0, 0, 'PZ', 22, '2023-03-24', 0, 'TOND12', 0, 5,
   NULL, 0, 30, 2, 'EDI', 'ITALIA', 'F-2231', NULL, 'N'),
  (1005, 8, 6, 'POSA IN OPERA (ORE)', 0, 6, 30,
   0, 0, 0, 'OR', 10, '2023-03-24', 0, 'MANOD', 0, 0,
   NULL, 0, 6, 0, '', '', '', NULL, 'N'),
  -- FI 3
  (1006, 9, 5, 'GENERATORE INVERTER 3KW', 0, 1, 1250,
   0, 0, 0, 'PZ', 0, '2023-03-28', 0, 'GEN3K', 0, 900,
   NULL, 0, 1, 3, 'ELE', 'GIAPPONE', 'G3K-7781', NULL, 'N'),
  -- FV 16
  (1007, 10, 10, 'CARTA A4 80G RISMA 500 FOGLI', 0, 20, 4.2,
   5, 2, 0, 'PZ', 22, '2023-04-12', 0, 'CARTA80', 0, 2.6,
   NULL, 0, 20, 4, 'CAN', 'ITALIA', '', NULL, 'N'),
  -- FV 40 of 2022
  (1008, 11, 3, 'LAMPADINA LED E27 10W', 0, 10, 3.9,
   0, 0, 0, 'PZ', 22, '2022-12-20', 0, 'LED27', 0, 2.1,
   NULL, 0, 10, 1, 'ELE', 'CINA', '', NULL, 'N'),
  -- BO 36, not billed yet
  (1009, 12, 7, 'CEMENTO 32,5 SACCO 25 KG', 0, 10, 6.5,
   0, 0, 0, 'PZ', 22, '2023-04-20', 0, 'CEM325', 0, 4.1,
   NULL, 0, 10, 2, 'EDI', 'ITALIA', 'C-0420', NULL, 'N');
