// zelmora telematic and zelmora legacy: the submission file of one company
// and period, written under its name into a folder, and a short summary.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "platform/host_services.h"

namespace zelmora::cli {

// The options as typed; RunTelematic and RunLegacy check them.
struct SubmissionRequest {
  std::string database;     // SQLite file of the host database
  std::string company;
  std::string year;
  std::string period;       // the month that ends the period
  std::string lists;        // sales, purchases or both (both: telematic only)
  std::string periodicity;  // monthly, quarterly, annual; empty: the company's
  std::string user;         // the sender's user code (telematic)
  std::string date;         // YYYY-MM-DD the file is sent; empty: today
  std::string progressive;  // progressive of the day's files (telematic)
  std::string submission;   // submission number of the declaration
  std::string vat;          // the declarant's VAT number
  std::string delegateVat;  // the delegate's, when one presents
  std::string customsSection;  // header (telematic)
  std::string office;          // the site number customs gave the sender (telematic); empty: 001
  std::string layout;          // 2010 or 2022 (telematic); empty: 2022 from January 2022, else 2010
  std::string box1, box2;      // the cover-page boxes (legacy)
  std::string fileName;        // legacy file name
  std::string outDir;
  bool strict = false;  // telematic: a format problem in the file written is a failure
};

// Each returns 0 after writing the file and the summary on `out`, or when
// there is nothing to send; 2 after one line on `err` naming a refused
// option, 1 after one line saying why the data gave no file (a file is
// then not left behind). RunTelematic also checks the format of
// what it wrote and lists the problems; with `strict` any problem makes it
// return 1 (the file is kept: it is what the component writes). `services` nullptr: the program's own.
int RunTelematic(const SubmissionRequest& request, std::ostream& out, std::ostream& err,
                 std::shared_ptr<HostServices> services = nullptr);
int RunLegacy(const SubmissionRequest& request, std::ostream& out, std::ostream& err,
              std::shared_ptr<HostServices> services = nullptr);

}  // namespace zelmora::cli
