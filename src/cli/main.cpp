// The zelmora command: the host harness, the database tools and the jobs
// a person runs from a terminal.
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/options.h"
#include "platform/temp_files.h"

int main(int argc, char** argv) {
  // An interrupted run removes the temporary files it was writing.
  zelmora::InstallTemporaryFileCleanup();
  CLI::App app;
  int exitCode = 0;
  zelmora::cli::BuildApp(app, exitCode);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  return zelmora::cli::RunCommandLine(app, exitCode, args, std::cout, std::cerr);
}
