-- The movement tests' rows, on top of the host schema.
-- Company 1 has four documents: 10, a sale with a goods line and a
-- services line; 11, a sale with one negative services line; 12, a
-- purchase without lines, competence or VAT date; 13, a purchase with a
-- goods line below "8" and a line whose kind is Null. Company 2 has a
-- document 10 of its own that no query of company 1 may show.
INSERT INTO CG07_TABSTATIEST VALUES (4, 'DE', 'Germania', 1), (1, 'FR', 'Francia', 1);
INSERT INTO CG16_ANAGGEN VALUES (500, 'Müller GmbH', 'DE123', 4), (501, 'Dupont SA', 'FR99', 1);
INSERT INTO CG44_CLIFOR VALUES (1, 0, 123, 500), (1, 1, 77, 501), (2, 0, 123, 500);
INSERT INTO CG41_PRIMANOTA (CG41_DITTA_CG18, CG41_NUMREG, CG41_DATAREG, CG41_DATAREGIVA, CG41_DATADOC, CG41_NUMDOC,
    CG41_NUMDOCORIG, CG41_FLGDOCBIS, CG41_SEZIONALE, CG41_CODICE_CG33, CG41_DESCAUSALE, CG41_TIPOCF_CG44,
    CG41_CLIFOR_CG44, CG41_INDPROVREG) VALUES
  (1, 10, '20240110', '20240110', '20240108', 1, 'FT1', 0, 'V1', '50', 'Vendita UE', 0, 123, 0),
  (1, 11, '20240115', NULL, '20240114', 2, 'FT2', 0, 'V2', '51', 'Vendita servizi', 0, 123, 0),
  (1, 12, '20240120', NULL, '20240105', 5, 'A-7', 0, 'A1', '60', 'Acquisto UE', 1, 77, 1),
  (1, 13, '20240125', '20240126', '20240120', 6, 'A-8', 0, 'A1', '60', 'Acquisto UE', 1, 77, 0),
  (2, 10, '20240110', NULL, '20240108', 1, 'FT1', 0, 'V1', '50', 'Vendita UE', 0, 123, 0);
INSERT INTO IN01_DOCTESTA VALUES
  (1, 10, 1, 1, 'EUR', 'F', 'DAP', '20240110', 0),
  (1, 11, 1, 1, 'EUR', NULL, NULL, '20240114', 0),
  (1, 12, 3, 1.1, 'USD', NULL, NULL, NULL, 1),
  (1, 13, 3, 1, 'EUR', NULL, 'EXW', NULL, 0),
  (2, 10, 1, 1, 'EUR', NULL, NULL, '20240110', 0);
INSERT INTO IN02_RIGHEDOC (IN02_DITTA_CG18, IN02_NUMREG_CG41, IN02_NUMRIGA, IN02_INDOPER, IN02_NOMENCLATURA,
    IN02_IMPORTO, IN02_FLGSEGNO, IN02_INDTIPODATI, IN02_INDNATURA, IN02_PAESEPRO_CG07, IN02_PAESEDES_CG07,
    IN02_MASSA) VALUES
  (1, 10, 1, 0, '84713000', 1000.10, 0, 0, 1, NULL, 4, 12.5),
  (1, 10, 2, 1, '331200', 250.20, 0, 0, NULL, NULL, 4, NULL),
  (1, 11, 1, 1, '773900', 99.99, 1, 0, NULL, NULL, 4, NULL),
  (1, 13, 1, 0, '01012100', 0.10, 0, 0, 1, 1, NULL, 3),
  (1, 13, 2, NULL, '84713000', 0.20, 0, 0, 1, 1, NULL, 4),
  (2, 10, 1, 0, '84713000', 5.00, 0, 0, 1, NULL, 4, 1);
