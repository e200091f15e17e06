#include "support/construct_file.h"

#include <fstream>
#include <sstream>

namespace zelmora::testing {

ConstructFile ReadConstructFile() {
  ConstructFile file;
  std::ifstream in(ZELMORA_SOURCE_DIR "/tests/platform/sqlite/tsql_constructs.txt");
  std::string line;
  ConstructBlock* block = nullptr;
  bool expecting = false;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.starts_with("==== ")) {
      file.sections.push_back({line.substr(5), {}});
      block = nullptr;
    } else if (line.empty()) {
      block = nullptr;
    } else if (file.sections.empty()) {
      if (!line.starts_with("#")) file.setup += line + "\n";
    } else if (block == nullptr) {
      if (line.starts_with("#")) continue;
      file.sections.back().blocks.push_back({});
      block = &file.sections.back().blocks.back();
      block->line = number;
      std::istringstream words(line);
      words >> block->kind;
      for (std::string word; words >> word;) {
        if (word == "grammar") block->grammar = true;
        if (word.starts_with(":")) block->name = word.substr(1);
      }
      expecting = false;
    } else if (line == "----") {
      expecting = true;
    } else if (expecting) {
      block->expected += line + "\n";
    } else {
      if (!block->sql.empty() && block->sql.back() != '\r') block->sql += '\n';
      block->sql += line.ends_with("<CR>") ? line.substr(0, line.size() - 4) + "\r" : line;
    }
  }
  return file;
}

}  // namespace zelmora::testing

namespace zelmora::testing {

std::string ConstructSql(const std::string& name) {
  for (const auto& section : ReadConstructFile().sections) {
    for (const auto& block : section.blocks) {
      if (block.name == name) return block.sql;
    }
  }
  return "";
}

}  // namespace zelmora::testing
