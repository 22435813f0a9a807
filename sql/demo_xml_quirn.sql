-- Demo data of the invoice database: the company, a few customers, suppliers
-- and articles, four sales invoices and one received purchase invoice.
-- Load it after xml_quirn.sql into the same database (scripts/db reset does).
--
-- Amounts are text with the decimal comma, as the program writes them; the
-- invoice totals are those the program computes from the lines. Invoice 1 has
-- already been sent: its XML file name uses progressive 00001 (settings
-- caption "A").

SET NAMES utf8mb4;

-- The business itself. The XML files go to out/ under the working folder.
INSERT INTO azienda
  (codice, rag_soc, p_iva, cod_fis, reg_fisc, indirizzo, cap, comune, prov, nazione,
   uff_rea, num_rea, capit_soc, soc_uni, stato_liq, mail, telefono, path, iban)
VALUES
  (1, 'ESEMPIO FORNITURE SRL', '01234567897', '01234567897', 'RF01',
   'Via dell''Artigianato 12', '37135', 'Verona', 'VR', 'IT',
   'VR', '123456', '10000,00', 'SU', 'LN',
   'amministrazione@esempioforniture.it', '045 8123456', './out/',
   'IT60X0542811101000000123456');

-- Customers: a company with a 7-character recipient code, a public
-- administration office (6 characters), a private consumer (tax code only,
-- code 0000000 and certified mail), a partnership reached by certified mail,
-- and a foreign customer.
INSERT INTO clienti
  (id, rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, cod_dest, pec,
   dest_soc, dest_comune, dest_indir, dest_cap)
VALUES
  (1, 'BIANCHI COSTRUZIONI SRL', 'Via Roma 45', 'Milano', '20121', 'MI', 'IT',
   '04567890126', '04567890126', 'M5UXCR1', '',
   'CANTIERE BIANCHI', 'Sesto San Giovanni', 'Via Carducci 18', '20099'),
  (2, 'ISTITUTO COMPRENSIVO "G. VERDI"', 'Via delle Scuole 3', 'San Bonifacio', '37047', 'VR', 'IT',
   '', '80012345676', 'UFQ7ZB', '',
   '', '', '', ''),
  (3, 'ROSSI MARIO', 'Corso Porta Nuova 20', 'Verona', '37122', 'VR', 'IT',
   '', 'RSSMRA80A01L781K', '0000000', 'mario.rossi@pec.it',
   '', '', '', ''),
  (4, 'FERRAMENTA DELL''ADIGE SNC DI ZENI & C.', 'Via Dante 7', 'Rovereto', '38068', 'TN', 'IT',
   '03456789019', '03456789019', '0000000', 'ferramenta.adige@pec.it',
   'MAGAZZINO FERRAMENTA DELL''ADIGE', 'Rovereto', 'Via del Garda 31', '38068'),
  (5, 'BÄCKEREI MÜLLER GMBH', 'Hauptstraße 5', 'München', '80331', 'EE', 'DE',
   '123456789', '', 'XXXXXXX', '',
   '', '', '', '');

INSERT INTO fornitori
  (id, rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, cod_destinatario, pec)
VALUES
  (1, 'GROSSISTA NORD SPA', 'Via dell''Industria 100', 'Padova', '35129', 'PD', 'IT',
   '02345678904', '02345678904', 'W7YVJK9', ''),
  (2, 'TIPOGRAFIA SCALIGERA SRL', 'Via Mazzini 2', 'Verona', '37121', 'VR', 'IT',
   '05678901231', '05678901231', '0000000', 'tipografia.scaligera@pec.it'),
  (3, 'ENERGIA PIÙ SRL', 'Viale Europa 50', 'Brescia', '25121', 'BS', 'IT',
   '01122334459', '01122334459', 'KRRH6B9', '');

-- Articles, with the amounts as the articles window writes them (grouping
-- points from 1000 up).
INSERT INTO magazzino
  (id, descrizione, codice_tipo, codice_val, esistenza, um,
   prezzo_unit, sc_tipo, sc_perc, sc_importo, prezzo_tot,
   costo_unit, sc_costo_tipo, sc_costo_perc, sc_costo_importo, costo_tot, aliquota)
VALUES
  (1, 'VITI AUTOFILETTANTI 4X40 CONF. 100', 'INTERNO', 'VIT440', '250', 'PZ',
   '10,000', '', '', '', '10,000',
   '6,000', 'SC', '5,00', '0,30', '5,700', '22'),
  (2, 'TASSELLI NYLON 8MM CONF. 50', 'INTERNO', 'TAS08', '120', 'PZ',
   '12,500', '', '', '', '12,500',
   '7,000', '', '', '', '7,000', '22'),
  (3, 'LAMPADINA LED E27 10W', 'INTERNO', 'LED27', '80', 'PZ',
   '3,900', '', '', '', '3,900',
   '2,100', '', '', '', '2,100', '22'),
  (4, 'TRAPANO AVVITATORE 18V', 'INTERNO', 'TRAP18', '12', 'PZ',
   '89,000', 'SC', '5,00', '4,45', '84,550',
   '55,000', '', '', '', '55,000', '22'),
  (5, 'GENERATORE INVERTER 3KW', 'INTERNO', 'GEN3K', '3', 'PZ',
   '1.250,000', '', '', '', '1.250,000',
   '900,000', '', '', '', '900,000', '22'),
  (6, 'MANODOPERA RISTRUTTURAZIONE (ORA)', 'INTERNO', 'MANOD', '0', 'ORE',
   '35,000', '', '', '', '35,000',
   '0,000', '', '', '', '0,000', '10');

-- Sales invoices. Columns not listed start empty, as for a new invoice.
INSERT INTO testata
  (id_invio, rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, cod_dest, pec,
   data_doc, num_doc, tot_doc, tipo_doc, tipo_pag, mod_pag, n_rate, scad1, scad2,
   spese, arrot, imponibile, imposta, aliquota, imponibile2, imposta2, aliquota2,
   esig_iva, esig_iva2, nome_file, sc_tipo, sc_perc, sc_importo, spese2, arrot2,
   tot_omaggio, tot_omaggio2, trasporto, inviata,
   dest_soc, dest_comune, dest_indir, dest_cap, porto, aspetto, colli, causale,
   imponibile3, imposta3, aliquota3, esig_iva3, spese3, arrot3,
   imponibile4, imposta4, aliquota4)
VALUES
  -- Two lines at 22%: 20,00 + 37,50 = 57,50; VAT 12,65; total 70,15. Sent.
  (1, 'BIANCHI COSTRUZIONI SRL', 'Via Roma 45', 'Milano', '20121', 'MI', 'IT',
   '04567890126', '04567890126', 'M5UXCR1', '',
   '15/03/2023', '1', '70,15', 'TD01', 'TP02', 'MP05', NULL, NULL, NULL,
   '0,00', '0,00', '57,50', '12,65', '22', '', '', '',
   'I', 'I', 'IT01234567897_00001.xml', '', '', '0,00', '0,00', '0,00',
   '0,00', NULL, 'Vettore', 1,
   'CANTIERE BIANCHI', 'Sesto San Giovanni', 'Via Carducci 18', '20099',
   'Franco', 'Cartoni, Imballi', '2', 'Vendita',
   '', '', '', 'I', '0,00', '0,00',
   '', '', ''),
  -- Public administration, split payment: 42,00 at 22% (VAT 9,24) and
  -- 140,00 at 10% (VAT 14,00); total 205,24.
  (2, 'ISTITUTO COMPRENSIVO "G. VERDI"', 'Via delle Scuole 3', 'San Bonifacio', '37047', 'VR', 'IT',
   '', '80012345676', 'UFQ7ZB', '',
   '22/03/2023', '2', '205,24', 'TD01', 'TP02', 'MP05', NULL, NULL, NULL,
   '0,00', '0,00', '42,00', '9,24', '22', '140,00', '14,00', '10',
   'S', 'S', NULL, '', '', '0,00', '0,00', '0,00',
   '0,00', '0,00', 'Vettore', 0,
   '', '', '', '',
   'Franco', 'Cartoni, Imballi', '', 'Vendita',
   '', '', '', 'I', '0,00', '0,00',
   '', '', ''),
  -- Private consumer, paid in cash: 15,60 + 80,10 (after a 10% line
  -- discount) = 95,70; VAT 21,05; total 116,75.
  (3, 'ROSSI MARIO', 'Corso Porta Nuova 20', 'Verona', '37122', 'VR', 'IT',
   '', 'RSSMRA80A01L781K', '0000000', 'mario.rossi@pec.it',
   '28/03/2023', '3', '116,75', 'TD01', 'TP02', 'MP01', NULL, NULL, NULL,
   '0,00', '0,00', '95,70', '21,05', '22', '', '', '',
   'I', 'I', NULL, '', '', '0,00', '0,00', '0,00',
   '0,00', NULL, 'Mittente', 0,
   '', '', '', '',
   'Franco', 'Cartoni, Imballi', '1', 'Vendita',
   '', '', '', 'I', '0,00', '0,00',
   '', '', ''),
  -- Two instalments, 5% document discount and a free gift line:
  -- 130,00 + 18,00 = 148,00 at 22%, gift 5,00 (its VAT 1,10 is due):
  -- VAT 32,56 + 1,10 = 33,66; discount 7,40;
  -- total 148,00 - 7,40 x 1,22 + 33,66 = 172,63.
  (4, 'FERRAMENTA DELL''ADIGE SNC DI ZENI & C.', 'Via Dante 7', 'Rovereto', '38068', 'TN', 'IT',
   '03456789019', '03456789019', '0000000', 'ferramenta.adige@pec.it',
   '03/04/2023', '4', '172,63', 'TD01', 'TP01', 'MP05', 2, '03/05/23', '03/06/23',
   '0,00', '0,00', '148,00', '33,66', '22', '', '', '',
   'I', 'I', NULL, 'SC', '5,00', '7,40', '0,00', '0,00',
   '5,00', NULL, 'Vettore', 0,
   'MAGAZZINO FERRAMENTA DELL''ADIGE', 'Rovereto', 'Via del Garda 31', '38068',
   'Franco', 'Cartoni, Imballi', '3', 'Vendita',
   '', '', '', 'I', '0,00', '0,00',
   '', '', '');

INSERT INTO dettaglio
  (id_invio, prog, codice_tipo, codice_val, descrizione, quantita, um, prezzo_unit,
   sc_tipo, sc_perc, sc_importo, prezzo_tot, aliquota, tipo_cessione, ritenuta, natura, rif_amm)
VALUES
  (1, 1, 'INTERNO', 'VIT440', 'VITI AUTOFILETTANTI 4X40 CONF. 100', '2,00', 'PZ', '10,000',
   '', '', '', '20,00', '22', '', '', '', ''),
  (1, 2, 'INTERNO', 'TAS08', 'TASSELLI NYLON 8MM CONF. 50', '3,00', 'PZ', '12,500',
   '', '', '', '37,50', '22', '', '', '', ''),
  (2, 1, 'INTERNO', 'CARTA80', 'CARTA A4 80G RISMA 500 FOGLI', '10,00', 'PZ', '4,200',
   '', '', '', '42,00', '22', '', '', '', ''),
  (2, 2, 'INTERNO', 'MANOD', 'MANODOPERA RISTRUTTURAZIONE (ORA)', '4,00', 'ORE', '35,000',
   '', '', '', '140,00', '10', '', '', '', ''),
  (3, 1, 'INTERNO', 'LED27', 'LAMPADINA LED E27 10W', '4,00', 'PZ', '3,900',
   '', '', '', '15,60', '22', '', '', '', ''),
  (3, 2, 'INTERNO', 'TRAP18', 'TRAPANO AVVITATORE 18V', '1,00', 'PZ', '89,000',
   'SC', '10,00', '8,90', '80,10', '22', '', '', '', ''),
  (4, 1, 'INTERNO', 'SMER125', 'SMERIGLIATRICE ANGOLARE 125MM 900W', '2,00', 'PZ', '65,000',
   '', '', '', '130,00', '22', '', '', '', ''),
  (4, 2, 'INTERNO', 'DISC125', 'DISCHI DA TAGLIO INOX 125MM', '10,00', 'PZ', '1,800',
   '', '', '', '18,00', '22', '', '', '', ''),
  (4, 3, 'INTERNO', 'GUANTI', 'GUANTI DA LAVORO (OMAGGIO)', '1,00', 'PZ', '5,000',
   '', '', '', '5,00', '22', 'SC', '', '', '');

-- References: the contract of invoice 1, the purchase order (with its CIG)
-- of the public administration's invoice 2.
INSERT INTO test_dati (id_invio, tipo) VALUES
  (1, 'DatiContratto'),
  (2, 'DatiOrdineAcquisto');

INSERT INTO dati_acquisto
  (id_invio, tipo, n_linea, id_documento, data, numero, cod_comm, cup, cig)
VALUES
  (1, 'DatiContratto', NULL, 'CONTR-2023/07', '01/02/2023', '7',
   'CANTIERE SESTO SAN GIOVANNI', '', ''),
  (2, 'DatiOrdineAcquisto', 1, 'DET. 45/2023', '10/03/2023', '45',
   '', '', 'Z1A3B5C7D9');

-- One received purchase invoice: 120,00 + 30,00 at 22%; total 183,00.
INSERT INTO test_car
  (prot, rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, cod_destinatario, pec,
   data_doc, num_doc, tot_doc, tipo_doc, tipo_pag, mod_pag, n_rate, scad1,
   spese, arrot, imponibile, imposta, aliquota, esig_iva, nome_file,
   imp_scad1)
VALUES
  (1, 'GROSSISTA NORD SPA', 'Via dell''Industria 100', 'Padova', '35129', 'PD', 'IT',
   '02345678904', '02345678904', '0000000', '',
   '05/03/2023', '1234/A', '183,00', 'TD01', 'TP02', 'MP05', 1, '04/04/2023',
   '0,00', '0,00', '150,00', '33,00', '22,00', 'I', 'IT02345678904_a0B1c.xml',
   '183,00');

INSERT INTO dett_car
  (prot_car, prog, codice_tipo, codice_val, descrizione, quantita, um, prezzo_unit,
   sc_tipo, sc_perc, sc_importo, prezzo_tot, aliquota, tipo_cessione, ritenuta, natura, rif_amm)
VALUES
  (1, 1, 'CODICE', 'GN-100', 'PROFILATO ALLUMINIO 2 M', '10,00', 'PZ', '12,00',
   '', '', '', '120,00', '22,00', '', '', '', ''),
  (1, 2, 'CODICE', 'GN-215', 'STAFFE ZINCATE 40X40', '20,00', 'PZ', '1,50',
   '', '', '', '30,00', '22,00', '', '', '', '');
