// A demonstration company for a host database created by CreateHostSchema:
// an Italian manufacturer (company 1, filing sales and purchases monthly)
// with a linked service company (2) and a small company with the French
// localisation (3), trading with customers and suppliers across the member
// states from 2023 to 2025. The data hold goods and services, sales and
// purchases, corrections of earlier periods with the original document data,
// credit lines that net within their invoice, fiscal-only lines, several
// journal sections, excluded nature 10, documents without lines, and a
// nomenclature over several years with changed codes; every line's code is
// in its year's table and every party has a VAT number of its country's
// length. zelmora's own tables hold the nature's column B of part of the
// goods lines and a few call-off stock movements of company 1 (2024).
//
// With `edgeCases` the data also hold what real master data get wrong and the
// checks are there to find: codes in no table or kept after their year,
// parties without registry entry or country, lines without a country,
// documents without a competence date, negative lines that net below zero,
// statistical-only sales lines, and quarterly purchases for company 1.
//
// The content depends only on the options: the same seed and line count give
// the same rows on every platform (own generator, integer arithmetic only).
#pragma once

#include <cstdint>

struct sqlite3;

namespace zelmora {

struct DemoOptions {
  int64_t movements = 5000;  // Intrastat lines (rows of IN02_RIGHEDOC)
  uint64_t seed = 1;
  bool edgeCases = false;  // see above
};

struct DemoSummary {
  int companies = 0;
  int parties = 0;       // rows of CG44_CLIFOR
  int64_t documents = 0; // rows of IN01_DOCTESTA
  int64_t lines = 0;     // rows of IN02_RIGHEDOC, equal to options.movements
  int firstYear = 0;
  int lastYear = 0;
};

// Fills an empty host schema on `db` (TSQL extensions registered). Runs in
// one transaction with the rollback journal switched off for speed, so a
// failure can leave the file damaged: fill a scratch file and discard it on
// failure. Throws zelmora::Error on a SQLite failure or a negative count.
DemoSummary FillDemoData(sqlite3* db, const DemoOptions& options);

}  // namespace zelmora
