// Data files of cases written as blocks: lines starting with "#" are
// comments, empty lines part the blocks, and each block is its lines in
// order (without their line ends).
#pragma once

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/file_bytes.h"

namespace zelmora::testing {

struct DataBlock {
  int line = 0;  // of its first line in the file, for the failure messages
  std::vector<std::string> lines;
};

inline std::vector<DataBlock> ReadBlocks(const std::string& relative) {
  std::vector<DataBlock> blocks;
  std::istringstream in(TestFile(relative));
  bool open = false;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line[0] == '#') continue;
    if (line.empty()) {
      open = false;
      continue;
    }
    if (!open) blocks.push_back({number, {}});
    open = true;
    blocks.back().lines.push_back(line);
  }
  if (blocks.empty()) throw std::runtime_error("no cases in " + relative);
  return blocks;
}

// The lines of a data file of one case a line, comments and empty lines left out.
inline std::vector<std::string> DataLines(const std::string& relative) {
  std::vector<std::string> lines;
  for (const DataBlock& block : ReadBlocks(relative)) lines.insert(lines.end(), block.lines.begin(), block.lines.end());
  return lines;
}

// The text with each "\xNN" made the byte it names, so that a data file
// can hold control characters and bytes that are not UTF-8.
inline std::string Unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i + 4 <= text.size() && text.compare(i, 2, "\\x") == 0) {
      out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace zelmora::testing
