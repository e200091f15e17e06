// What a call fails with: its runtime error as "number: description"
// ("no error" when it does not fail), or just the number (0).
#pragma once

#include <functional>
#include <string>

#include "platform/error.h"

namespace zelmora::testing {

inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return std::to_string(e.number()) + ": " + e.description();
  }
  return "no error";
}

inline int32_t ErrorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

}  // namespace zelmora::testing

// The statement fails with the runtime error of this number and description.
#define EXPECT_RUNTIME_ERROR(statement, num, text)                                                 \
  EXPECT_EQ(::zelmora::testing::ErrorOf([&] { (void)(statement); }), std::to_string(num) + ": " + (text)) \
      << #statement
