// The --db value of the commands: a SQLite file path, or (when it holds '=')
// a connection string given as it is ("Provider=SQLOLEDB;Data Source=...",
// "Driver=FreeTDS;Server=...").
#pragma once

#include <string>

namespace zelmora::cli {

bool IsConnectionString(const std::string& databaseOption);
std::string DatabaseConnectionString(const std::string& databaseOption);

}  // namespace zelmora::cli
