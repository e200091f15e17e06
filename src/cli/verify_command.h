// zelmora verify: the format check of a telematic submission file (2010 or
// 2022 layout), one problem per line, for a person to fix before sending.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "telematic/submission_check.h"

namespace zelmora::cli {

struct VerifyRequest {
  std::string file{};
  bool csv = false;
  // 2010 or 2022; empty: the layout of the file's period (2022 from
  // January 2022), as its first frontispiece gives it.
  std::string layout{};
  // The database the file was written from: each problem of a detail
  // record then names the declaration line behind it and the registration
  // numbers of its movements. The period is the month that ends it, as the
  // telematic job was given it.
  std::string database{};
  int company = 0;
  int year = 0;
  int period = 0;
};

// The problems as an aligned table (record, record type, field, what it
// holds, what the layout wants, and when `behind` is given the declaration
// line behind each) or as CSV.
void WriteProblems(const std::vector<telematic::Problem>& problems, bool csv, std::ostream& out,
                   const std::vector<std::string>* behind = nullptr);

// Reads and checks the file. Returns 0 when it keeps to the layout, 1 when
// it has problems (written to `out`); after one line on `err`, 2 when the
// file cannot be read or an option is refused, 1 when the database fails.
int RunVerify(const VerifyRequest& request, std::ostream& out, std::ostream& err);

}  // namespace zelmora::cli
