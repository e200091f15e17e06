// The whole content of a file, byte for byte; empty when it cannot be read.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace zelmora::testing {

inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A data file of the tests, by its path under tests/.
inline std::string TestFile(const std::string& relative) {
  return FileBytes(ZELMORA_SOURCE_DIR "/tests/" + relative);
}

}  // namespace zelmora::testing
