// How an error that the host's server would raise (a failed conversion, a
// division by zero) travels out of a SQL function registered on a SQLite
// handle: its number rides in front of the message, "[8134] Divide by zero
// error encountered.", and the backend turns it back into that Error.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/error.h"

namespace zelmora::tsql {

inline std::string ServerErrorMessage(int number, std::string_view text) {
  return "[" + std::to_string(number) + "] " + std::string(text);
}

inline std::optional<Error> ServerErrorFromMessage(std::string_view message) {
  if (message.size() < 4 || message[0] != '[') return std::nullopt;
  size_t i = 1;
  int number = 0;
  while (i < message.size() && message[i] >= '0' && message[i] <= '9' && i < 7) {
    number = number * 10 + (message[i] - '0');
    ++i;
  }
  if (i == 1 || i + 1 >= message.size() || message[i] != ']' || message[i + 1] != ' ') return std::nullopt;
  return Error(number, std::string(message.substr(i + 2)));
}

}  // namespace zelmora::tsql
