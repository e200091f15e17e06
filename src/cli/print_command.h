// zelmora print journal|forms|cover --db PATH --company N --year Y --period P
//                --list sales|purchases [--quarterly] [--vat N] --out FILE.pdf
// Prints the movements journal, the laser forms of a declaration (first
// page and every section with lines) or the cover page through the
// component's print operations, and draws the print jobs into one PDF.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "platform/host_services.h"

namespace zelmora::cli {

struct PrintRequest {
  std::string document;  // journal, forms or cover
  std::string database;
  std::string company;
  std::string year;
  std::string period;    // the month; with quarterly, the last month of the quarter
  std::string list;      // sales or purchases
  bool quarterly = false;
  std::string vat;       // the declarant's VAT number, shown on the forms
  std::string out;       // the PDF file
};

// 0 after writing the file (atomically: a temporary file in the same
// folder, renamed at the end) and printing its page count; 2 with one line
// on `err` for bad input; 1 with one line when the print or the drawing
// fails. No file is left behind on failure.
int RunPrint(const PrintRequest& request, std::ostream& out, std::ostream& err,
             std::shared_ptr<HostServices> services = nullptr);

}  // namespace zelmora::cli
