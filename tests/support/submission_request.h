// The request of zelmora telematic most submission tests start from:
// company 1's lists of March 2024 sent by user ABCD as the first file of
// the day, submission 7, for the declarant 01234567890. The caller sets
// the lists, the day sent and what else its case needs.
#pragma once

#include <string>

#include "cli/telematic_command.h"

namespace zelmora::testing {

inline cli::SubmissionRequest MarchRequest(const std::string& database, const std::string& outDir) {
  cli::SubmissionRequest request;
  request.database = database;
  request.company = "1";
  request.year = "2024";
  request.period = "3";
  request.user = "ABCD";
  request.progressive = "1";
  request.submission = "7";
  request.vat = "01234567890";
  request.outDir = outDir;
  return request;
}

}  // namespace zelmora::testing
