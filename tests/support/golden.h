// Whole-text comparison for golden tests (SQL, records, files). On a
// difference it says where the texts first part, with CR and LF made
// visible, instead of dumping two long strings.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace zelmora::testing {

inline std::string Visible(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "<CR>";
    } else if (c == '\n') {
      out += "<LF>\n";
    } else {
      out += c;
    }
  }
  return out;
}

inline ::testing::AssertionResult SameText(std::string_view expected, std::string_view actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const size_t from = at > 60 ? at - 60 : 0;
  return ::testing::AssertionFailure()
         << "texts differ at byte " << at << " (expected " << expected.size() << " bytes, got " << actual.size()
         << ")\n--- expected from byte " << from << ":\n"
         << Visible(expected.substr(from, 160)) << "\n--- actual from byte " << from << ":\n"
         << Visible(actual.substr(from, 160)) << "\n";
}

}  // namespace zelmora::testing

#define EXPECT_SAME_TEXT(expected, actual) EXPECT_TRUE(::zelmora::testing::SameText((expected), (actual)))
