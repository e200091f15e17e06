// Fuzzes the zelmora command line: the input, split on NUL bytes, is the
// argument list after the program name, parsed by the program's own
// application with every subcommand and option. Once the command line is
// parsed and checked, and before any subcommand's work starts, the run is
// stopped (the subcommands' callbacks stay in place, as they own the
// storage their options write to), so no database or file is opened. A
// refusal (CLI11's parse errors, help) is an answer, written as the program
// writes it: one line with the command's prefix, and it must be one line;
// a crash, a sanitizer report or another exception is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/options.h"

namespace {

struct Parsed {};

// The program's application, stopped where the callbacks would start.
class ParseOnlyApp : public CLI::App {
 protected:
  void pre_callback() override { throw Parsed{}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words;
  std::string word;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.push_back(word);
      word.clear();
    } else {
      word.push_back(static_cast<char>(data[i]));
    }
  }
  if (size > 0) words.push_back(word);

  ParseOnlyApp app;
  int exitCode = 0;
  zelmora::cli::BuildApp(app, exitCode);
  std::ostringstream out, err;
  try {
    const int status = zelmora::cli::RunCommandLine(app, exitCode, words, out, err);
    // Only a refusal or the help ends the run before the callbacks.
    const std::string said = err.str();
    if (status == 2 && (said.empty() || said.find('\n') != said.size() - 1)) std::abort();
    if (status != 0 && status != 2) std::abort();
  } catch (const Parsed&) {
  }
  return 0;
}
