// Expected texts stated as exact edits of a text written out in full.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "support/golden.h"

namespace zelmora::testing {

// `text` with every `from` replaced by `to`; the test fails unless `from`
// occurs exactly `count` times.
inline std::string Edit(std::string text, std::string_view from, std::string_view to, int count) {
  int found = 0;
  std::string result;
  size_t start = 0;
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
    ++found;
    result.append(text, start, at - start);
    result += to;
    start = at + from.size();
  }
  result.append(text, start, std::string::npos);
  EXPECT_EQ(found, count) << "edit of \"" << Visible(from) << "\"";
  return result;
}

}  // namespace zelmora::testing
