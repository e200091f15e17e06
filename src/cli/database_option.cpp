#include "cli/database_option.h"

namespace zelmora::cli {

bool IsConnectionString(const std::string& databaseOption) { return databaseOption.find('=') != std::string::npos; }

std::string DatabaseConnectionString(const std::string& databaseOption) {
  if (IsConnectionString(databaseOption)) return databaseOption;
  return "Provider=SQLite;Data Source=" + databaseOption;
}

}  // namespace zelmora::cli
