// A demonstration company for a host database created by CreateHostSchema:
// an Italian manufacturer (company 1, monthly sales and quarterly purchases
// filer) with a linked service company (2) and a small company with the
// French localisation (3), trading with customers and suppliers across the
// member states from 2023 to 2025. The data hold goods and services, sales
// and purchases, corrections of earlier periods with the original document
// data, fiscal-only and statistical-only lines, negative lines, several
// journal sections, excluded nature 10, documents without a competence date
// or without lines, parties without registry or country, and a nomenclature
// over several years with missing and changed codes. zelmora's own tables
// hold the nature's column B of part of the goods lines and a few call-off
// stock movements of company 1 (2024).
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
