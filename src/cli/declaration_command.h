// zelmora declaration: the lines of one Intrastat list for one period, as a
// table for a person to check before the declaration is sent, or as CSV.
#pragma once

#include <ostream>
#include <string>

namespace zelmora::cli {

struct DeclarationRequest {
  std::string database;  // SQLite file of the host database
  int company = 0;
  int year = 0;
  int period = 0;         // the month that ends the period
  bool purchases = false; // the purchases list (INTRA-2), else sales (INTRA-1)
  int periodicity = 1;    // 1 monthly, 2 quarterly, 3 annual
  bool linked = false;    // the company's linked companies under its code
  bool csv = false;
};

// Builds the statement through the business object, runs it and writes the
// lines to `out`. Returns 0, or after one line on `err` saying why not 2
// for bad input and 1 for a failure while working.
int RunDeclaration(const DeclarationRequest& request, std::ostream& out, std::ostream& err);

}  // namespace zelmora::cli
