-- Company 1: customers 10 (Germany), 11 (France) and 12 (Austria). Goods codes of 2023
-- and 2024; services codes of 2023 only, so 2024 service lines are checked
-- against 2023. One goods code of 2023 was replaced in 2024.
INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDLOCALIZZAZIONE) VALUES (1, 'Declarant', 0);
INSERT INTO CG07_TABSTATIEST VALUES (1, 'FR', 'Francia', 1), (4, 'DE', 'Germania', 1), (38, 'AT', 'Austria', 1);
INSERT INTO CG16_ANAGGEN VALUES (100, 'Müller GmbH', 'DE111', 4), (101, 'Dupont SA', 'FR222', 1), (102, 'Gruber KG', 'ATU333', 38);
INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 0, 11, 101), (1, 0, 12, 102);
INSERT INTO CG72_NOMENCLATURE VALUES (2023, 0, '84821090', 'Cuscinetti'), (2023, 0, '73181595', 'Viti'), (2024, 0, '84821090', 'Cuscinetti'), (2024, 0, '73181599', 'Viti'), (2023, 1, '620100', 'Software');
INSERT INTO CG7S_NOMENCLATUREVARIATE VALUES ('73181595', '73181599');
