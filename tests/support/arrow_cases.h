// Case tables kept as data: each line of the file is "INPUT => EXPECTED";
// lines starting with "#" and empty lines are comments. A test runs its
// function over every INPUT and compares what it gives with EXPECTED.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "support/file_bytes.h"

namespace zelmora::testing {

// Runs `given` over each case of tests/<relative>; the number of cases.
inline int ExpectArrowCases(const std::string& relative, const std::function<std::string(const std::string&)>& given) {
  std::istringstream lines(TestFile(relative));
  int cases = 0, number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    const size_t arrow = line.find(" => ");
    if (line.empty() || line[0] == '#') continue;
    if (arrow == std::string::npos) {
      ADD_FAILURE() << relative << ":" << number << ": no \" => \" in a case";
      continue;
    }
    EXPECT_EQ(line.substr(arrow + 4), given(line.substr(0, arrow))) << relative << ":" << number << ": " << line;
    ++cases;
  }
  EXPECT_GT(cases, 0) << relative << " holds no case";
  return cases;
}

}  // namespace zelmora::testing
