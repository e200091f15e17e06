// zelmora french: the French declaration file of a company kept under the
// French localisation, written into a folder, and a summary of what it holds.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "platform/host_services.h"

namespace zelmora::cli {

// The options as typed; RunFrench checks them.
struct FrenchRequest {
  std::string database;     // SQLite file of the host database
  std::string company;
  std::string year;
  std::string period;       // the month declared
  std::string lists = "both";  // sales, purchases or both
  std::string user;         // the sender's code (four characters at most)
  std::string progressive = "1";  // the file's progressive (0-9)
  std::string submission = "1";   // the declaration's number (NumFloppy)
  std::string taxCode;      // the declarant's identifier (SIRET), 14 characters at most
  std::string phone, fax;
  std::string delegateSurname, delegateName;
  std::string level = "1";  // the obligation level (1-4)
  std::string fileName;     // default DEB<year><month>.TXT
  std::string outDir;
};

// Returns 0 after writing the file and its summary on `out` (or saying that
// there is nothing to declare), 2 after one line on `err` when the request
// is not valid, 1 after one line on `err` when the component failed. No
// file is left behind unless 0 is returned. `services` nullptr: the program's own.
int RunFrench(const FrenchRequest& request, std::ostream& out, std::ostream& err,
              std::shared_ptr<HostServices> services = nullptr);

}  // namespace zelmora::cli
