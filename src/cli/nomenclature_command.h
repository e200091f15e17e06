// zelmora nomenclature import: loads an official list of goods or services
// codes for one year, as published in a spreadsheet and saved as CSV.
#pragma once

#include <ostream>
#include <string>

namespace zelmora::cli {

struct NomenclatureImportRequest {
  std::string file;      // CSV: code, description, supplementary unit
  std::string database;  // SQLite file of the host database
  int year = 0;
  std::string kind;      // goods (8-digit codes) or services (6-digit codes)
};

// Replaces the year's list of that kind with the file's codes, in one
// transaction: a bad row (wrong length, not digits, a code twice) is
// reported with its line number and nothing changes. Loading the same file
// again leaves the same table. Returns 0, or after one line on `err` 2 for
// bad input and 1 for a failure writing the database.
int RunNomenclatureImport(const NomenclatureImportRequest& request, std::ostream& out, std::ostream& err);

}  // namespace zelmora::cli
