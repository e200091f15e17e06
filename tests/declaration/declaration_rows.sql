-- The declaration-lines tests' rows, on top of the host schema.
-- Company 1 declares, company 2 is linked to it in 2024, company 3 is not.
-- Customers 10 (German registry 100), 11 (French registry 101) and 12 (no
-- registry); supplier 20 (Austrian registry 102). May 2024 unless said.
INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDLOCALIZZAZIONE) VALUES
  (1, 'Declarant', 0), (2, 'Linked', 0), (3, 'Other', 0);
INSERT INTO CG18_DITTECOLLEGATE VALUES (1, 2024, 2);
INSERT INTO CG07_TABSTATIEST VALUES (1, 'FR', 'Francia', 1), (4, 'DE', 'Germania', 1), (38, 'AT', 'Austria', 1);
INSERT INTO CG16_ANAGGEN VALUES (100, 'Müller GmbH', 'DE111', 4), (101, 'Dupont SA', 'FR222', 1),
  (102, 'Gruber KG', 'ATU333', 38);
INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 0, 11, 101), (1, 0, 12, NULL), (1, 1, 20, 102),
  (2, 0, 10, 100), (3, 0, 10, 100);
-- The movements: company, registration, then the entry, the Intrastat
-- header and its one line.
INSERT INTO CG41_PRIMANOTA (CG41_DITTA_CG18, CG41_NUMREG, CG41_DATAREG, CG41_DATAREGIVA, CG41_SEZIONALE, CG41_CODICE_CG33, CG41_TIPOCF_CG44, CG41_CLIFOR_CG44) VALUES
  (1, 1, 20240510, NULL, 'A', '01', 0, 10),
  (1, 2, 20240510, NULL, 'B', '01', 0, 10),
  (1, 3, 20240510, NULL, 'A', '01', 0, 10),
  (1, 4, 20240510, NULL, 'A', '01', 0, 11),
  (1, 5, 20240510, NULL, 'A', '01', 0, 11),
  (1, 6, 20240510, NULL, 'A', '01', 0, 10),
  (1, 7, 20240510, NULL, 'A', '01', 0, 11),
  (1, 8, 20240510, NULL, 'A', '01', 0, 11),
  (1, 9, 20240510, NULL, 'A', '01', 0, 10),
  (1, 10, 20240430, 20240515, 'A', '01', 0, 10),
  (1, 11, 20240520, NULL, 'A', '01', 0, 10),
  (1, 12, 20240529, NULL, 'A', '01', 0, 10),
  (1, 13, 20240510, NULL, 'A', '01', 0, 10),
  (1, 14, 20240510, NULL, 'A', '01', 0, 10),
  (1, 15, 20240510, NULL, 'A', '01', 0, 10),
  (1, 26, 20240510, NULL, 'A', '01', 0, 10),
  (1, 16, 20240510, NULL, 'A', '52', 0, 10),
  (1, 17, 20240510, NULL, 'A', '10', 0, 10),
  (1, 18, 20240510, NULL, 'A', '63', 0, 10),
  (1, 19, 20240510, NULL, 'A', '01', 0, 11),
  (1, 20, 20240510, NULL, 'A', '52', 0, 12),
  (1, 25, 20240510, NULL, 'A', '01', 1, 20),
  (2, 1, 20240510, NULL, 'A', '01', 0, 10),
  (2, 2, 20240510, NULL, 'A', '01', 0, 10),
  (2, 3, 20240510, NULL, 'A', '52', 0, 10),
  (3, 1, 20240510, NULL, 'A', '01', 0, 10);
INSERT INTO IN01_DOCTESTA (IN01_DITTA_CG18, IN01_NUMREG_CG41, IN01_INDTIPODOC, IN01_CODICE_CG08, IN01_DTCOMPINTRA) VALUES
  (1, 1, 1, 'EUR', 20240510),
  (1, 2, 1, 'EUR', 20240510),
  (1, 3, 1, 'EUR', 20240510),
  (1, 4, 1, 'EUR', 20240510),
  (1, 5, 1, 'EUR', 20240510),
  (1, 6, 1, 'EUR', 20240510),
  (1, 7, 1, 'EUR', 20240510),
  (1, 8, 1, 'EUR', 20240510),
  (1, 9, 1, 'EUR', 20240510),
  (1, 10, 1, 'EUR', NULL),
  (1, 11, 1, 'EUR', NULL),
  (1, 12, 1, 'EUR', 20240603),
  (1, 13, 1, 'EUR', 20240415),
  (1, 14, 1, 'EUR', 20240415),
  (1, 15, 1, 'EUR', 20240510),
  (1, 26, 1, 'EUR', 20240510),
  (1, 16, 2, 'EUR', 20240510),
  (1, 17, 2, 'EUR', 20240420),
  (1, 18, 2, 'EUR', 20240605),
  (1, 19, 2, 'EUR', 20240510),
  (1, 20, 2, 'EUR', 20240510),
  (1, 25, 3, 'EUR', 20240510),
  (2, 1, 1, 'EUR', 20240510),
  (2, 2, 1, 'EUR', 20240510),
  (2, 3, 2, 'EUR', 20240510),
  (3, 1, 1, 'EUR', 20240510);
INSERT INTO IN02_RIGHEDOC (IN02_DITTA_CG18, IN02_NUMREG_CG41, IN02_NUMRIGA, IN02_INDOPER, IN02_NOMENCLATURA, IN02_IMPORTO, IN02_IMPORTOVAL, IN02_IMPORTOORIG, IN02_IMPORTOVALORIG, IN02_FLGSEGNO, IN02_INDTIPODATI, IN02_INDNATURA, IN02_INDCONS, IN02_INDTRASP, IN02_PAESEPRO_CG07, IN02_PAESEORI_CG07, IN02_PAESEDES_CG07, IN02_PAESEPAG_CG07, IN02_PROVDEST, IN02_PROVORIG, IN02_MASSA, IN02_UNSUPPL, IN02_VALSTAT, IN02_MESERIF, IN02_ANNORIF, IN02_CODICE_IN03, IN02_CODICE_IN04, IN02_NUMDOCORIG, IN02_DATADOCORIG, IN02_SEZORIG, IN02_REGIME) VALUES
  -- One goods key of customer 10 in two journal sections, with a negative line.
  (1, 1, 1, 0, '84821090', 1000.1, 1000.1, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 10.5, 2, 1100, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 2, 1, 0, '84821090', 200.2, 200.2, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 1, 0, 200, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 3, 1, 0, '84821090', 100, 100, NULL, NULL, 1, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 1.5, 1, 300, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  -- A sale and its negative line cancel.
  (1, 4, 1, 0, '73181595', 500, 500, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 1, NULL, NULL, 'MO', 5, 0, 520, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 5, 1, 0, '73181595', 500, 500, NULL, NULL, 1, 0, 1, 1, 3, NULL, NULL, 1, NULL, NULL, 'MO', 5, 0, 520, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  -- Statistical-only lines of two customers: one line without a partner.
  (1, 6, 1, 0, '84821090', 300, 300, NULL, NULL, 0, 2, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 3, 0, 310, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 7, 1, 0, '84821090', 50, 50, NULL, NULL, 0, 2, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 1, 0, 55, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  -- A fiscal-only line: its statistical data are not declared.
  (1, 8, 1, 0, '39173910', 80, 80, NULL, NULL, 0, 1, 1, 2, 3, NULL, NULL, 1, NULL, NULL, 'BO', 2, 0, 90, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  -- Nature 10 is never declared.
  (1, 9, 1, 0, '85176200', 123, 0, NULL, NULL, 0, 0, 10, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 0, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  -- Competence date missing: the VAT date, then the registration date.
  (1, 10, 1, 0, '85176200', 70, 70, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 0, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 11, 1, 0, '85176200', 30, 30, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 0, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 12, 1, 0, '85176200', 1000, 1000, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 0, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  -- April: in branch A only when the period is widened; never in branch B.
  (1, 13, 1, 0, '84821090', 5000, 5000, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 0, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 14, 1, 0, '84821090', 7, 7, NULL, NULL, 0, 2, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 0, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  -- Services with different invoice data.
  (1, 15, 1, 1, '620100', 400, 400, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, 4, NULL, 'MO', 0, 0, 0, NULL, NULL, 'A', 'B', '71', NULL, NULL, NULL),
  (1, 26, 1, 1, '620100', 600, 600, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, 4, NULL, 'MO', 0, 0, 0, NULL, NULL, 'C', 'B', '88', NULL, NULL, NULL),
  -- A service correction of February: two corrections up to May (reason 52
  -- adds, any other subtracts), a third after the end of May.
  (1, 16, 1, 1, '620100', 100, 120, 1000, 1200, 0, 0, 1, 1, 3, NULL, NULL, 4, 4, NULL, 'MO', 0, 0, 0, 2, 2024, 'A', 'B', '77', 20240210, 'X', NULL),
  (1, 17, 1, 1, '620100', 30, 36, 1000, 1200, 0, 0, 1, 1, 3, NULL, NULL, 4, 4, NULL, 'MO', 0, 0, 0, 2, 2024, 'A', 'B', '77', 20240210, 'X', NULL),
  (1, 18, 1, 1, '620100', 999, 999, 1000, 1200, 0, 0, 1, 1, 3, NULL, NULL, 4, 4, NULL, 'MO', 0, 0, 0, 2, 2024, 'A', 'B', '77', 20240210, 'X', NULL),
  -- A goods correction: its statistical value is declared as a magnitude.
  (1, 19, 1, 0, '73181595', 50, 50, NULL, NULL, 1, 0, 1, 1, 3, NULL, NULL, 1, NULL, NULL, 'MO', 0, 0, 80, 3, 2024, NULL, NULL, NULL, NULL, NULL, NULL),
  -- A service correction of a customer without registry matches no row.
  (1, 20, 1, 1, '620100', 40, 40, 400, 400, 0, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 0, 0, 0, 2, 2024, NULL, NULL, NULL, NULL, NULL, NULL),
  -- A purchase.
  (1, 25, 1, 0, '84821090', 700, 700, NULL, NULL, 0, 0, 1, 1, 3, 38, 38, NULL, NULL, 'MO', NULL, 7, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  -- The linked company: a sale of company 1's key, one of its own, and a
  -- correction of the same service line as company 1's.
  (2, 1, 1, 0, '84821090', 50, 50, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 0.5, 0, 60, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (2, 2, 1, 0, '94032080', 20, 20, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 0, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (2, 3, 1, 1, '620100', 10, 12, 2000, 2400, 0, 0, 1, 1, 3, NULL, NULL, 4, 4, NULL, 'MO', 0, 0, 0, 2, 2024, 'A', 'B', '77', 20240210, 'X', NULL),
  -- A company that is not linked.
  (3, 1, 1, 0, '84821090', 9999, 9999, NULL, NULL, 0, 0, 1, 1, 3, NULL, NULL, 4, NULL, NULL, 'MO', 0, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
