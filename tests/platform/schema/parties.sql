-- Countries, registry and parties of company 1:
--   supplier 501 -> registry 100001 in Germany (4);
--   customer 101 -> registry 100002 registered without a country;
--   supplier 502 -> no registry entry.
INSERT INTO CG07_TABSTATIEST VALUES (4, 'DE', 'Germania', 1), (720, 'CN', 'Cina', 2), (5, 'IT', 'Italia', 0);
INSERT INTO CG16_ANAGGEN VALUES (100001, 'Müller Hydraulik GmbH', '811907980', 4),
                                (100002, 'Dupont SA', '40303265045', NULL);
INSERT INTO CG44_CLIFOR VALUES (1, 1, 501, 100001), (1, 0, 101, 100002), (1, 1, 502, NULL);
