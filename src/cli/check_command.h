// zelmora check: the declaration lines whose goods or services code is not
// valid for their reference year, for a person to fix before sending.
#pragma once

#include <ostream>
#include <string>

namespace zelmora::cli {

struct CheckRequest {
  std::string database;  // SQLite file of the host database
  int company = 0;
  int year = 0;
  int period = 0;         // the month that ends the period
  std::string lists;      // sales, purchases or both
  bool csv = false;
};

// Runs the nomenclature check of each list with the company's own
// periodicity and writes the lines in error. Returns 0 when there are none,
// 1 when there are some; after one line on `err` saying why it could not
// check, 2 for bad input and 1 for a failure while working.
int RunCheck(const CheckRequest& request, std::ostream& out, std::ostream& err);

}  // namespace zelmora::cli
