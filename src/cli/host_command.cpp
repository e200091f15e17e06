// zelmora host [SCRIPT] [--check]: runs a host-harness script (a file, or
// standard input when absent or "-") and prints the resulting JSON document;
// with --check it only reads and checks the script, makes no call and prints
// nothing when the script is valid.
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/bounded_input.h"
#include "cli/commands.h"
#include "cli/host_harness.h"
#include "cli/options.h"

namespace zelmora::cli {

void AddHostCommand(CLI::App& app, int& exitCode) {
  auto* command = app.add_subcommand("host", "Play the host on one business object from a JSON script");
  auto script = std::make_shared<std::string>("-");
  command->add_option("SCRIPT", *script, "the script file; standard input when absent or \"-\"");
  auto checkOnly = std::make_shared<bool>(false);
  command->add_flag("--check", *checkOnly, "only check the script: no call is made, nothing is printed when valid");
  OnRun(*command, exitCode, [script, checkOnly](std::ostream& out, std::ostream& err) {
    std::string text;
    try {
      text = ReadBoundedInput(*script, kMaxScriptBytes, "the script");
    } catch (const Refusal& refusal) {
      SayWhy(err, "zelmora host", refusal.reason);
      return refusal.exitCode;
    }
    HarnessResult result = *checkOnly ? ValidateHostScript(text) : RunHostScript(text);
    if (result.exitCode != 0) {
      SayWhy(err, "zelmora host", result.error);
    } else {
      out << result.output;
    }
    return result.exitCode;
  });
}

}  // namespace zelmora::cli
