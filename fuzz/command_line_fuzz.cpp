// Fuzzes the zelmora command line: the input, split on NUL bytes, is the
// argument list after the program name, parsed by the program's own
// application with every subcommand and option. Once the command line is
// parsed and checked, and before any subcommand's work starts, the run is
// stopped (the subcommands' callbacks stay in place, as they own the
// storage their options write to), so no database or file is opened. A refusal (CLI11's parse errors, help and version) is an answer,
// and its message is formatted as the program would print it; a crash, a
// sanitizer report or another exception is a fault.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace {

struct Parsed {};

// The program's application, stopped where the callbacks would start.
class ParseOnlyApp : public CLI::App {
 protected:
  void pre_callback() override { throw Parsed{}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> words{"zelmora"};
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
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());

  ParseOnlyApp app;
  int exitCode = 0;
  zelmora::cli::BuildApp(app, exitCode);
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const Parsed&) {
  } catch (const CLI::ParseError& error) {
    std::ostringstream out, err;
    (void)app.exit(error, out, err);
  }
  return 0;
}
