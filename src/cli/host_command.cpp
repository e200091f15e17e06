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
#include "cli/input_checks.h"

namespace zelmora::cli {

void AddHostCommand(CLI::App& app, int& exitCode) {
  auto* command = app.add_subcommand("host", "Play the host on one business object from a JSON script");
  auto script = std::make_shared<std::string>("-");
  command->add_option("SCRIPT", *script, "the script file; standard input when absent or \"-\"");
  auto checkOnly = std::make_shared<bool>(false);
  command->add_flag("--check", *checkOnly, "only check the script: no call is made, nothing is printed when valid");
  command->callback([script, checkOnly, &exitCode] {
    std::string text;
    try {
      text = ReadBoundedInput(*script, kMaxScriptBytes, "the script");
    } catch (const Refusal& refusal) {
      std::cerr << "zelmora host: " << refusal.reason << "\n";
      exitCode = refusal.exitCode;
      return;
    }
    HarnessResult result = *checkOnly ? ValidateHostScript(text) : RunHostScript(text);
    if (result.exitCode != 0) {
      std::cerr << "zelmora host: " << result.error << "\n";
    } else {
      std::cout << result.output;
    }
    exitCode = result.exitCode;
  });
}

}  // namespace zelmora::cli
