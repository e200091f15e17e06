// zelmora verify: the format check of a telematic submission file (2010
// layout), one problem per line, for a person to fix before sending.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "telematic/submission_check.h"

namespace zelmora::cli {

struct VerifyRequest {
  std::string file;
  bool csv = false;
};

// The problems as an aligned table (record, record type, field, what it
// holds, what the layout wants) or as CSV.
void WriteProblems(const std::vector<telematic::Problem>& problems, bool csv, std::ostream& out);

// Reads and checks the file. Returns 0 when it keeps to the layout, 1 when
// it has problems (written to `out`), 2 after one line on `err` when the
// file cannot be read.
int RunVerify(const VerifyRequest& request, std::ostream& out, std::ostream& err);

}  // namespace zelmora::cli
