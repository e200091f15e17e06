// Reads the T-SQL construct file (tests/platform/sqlite/tsql_constructs.txt,
// whose head describes its form): the setup SQL and the sections of blocks.
#pragma once

#include <string>
#include <vector>

namespace zelmora::testing {

struct ConstructBlock {
  std::string kind;  // query, error, statement or closed
  bool grammar = false;
  std::string name;  // after ":" on the kind line, or empty
  std::string sql, expected;
  int line = 0;  // of the kind, in the file
};

struct ConstructSection {
  std::string name;
  std::vector<ConstructBlock> blocks;
};

struct ConstructFile {
  std::string setup;
  std::vector<ConstructSection> sections;
};

ConstructFile ReadConstructFile();

// The text of the block named `name`; empty when there is none.
std::string ConstructSql(const std::string& name);

}  // namespace zelmora::testing
