// The zelmora command: the host harness, the database tools and the jobs
// a person runs from a terminal.
#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "platform/temp_files.h"

int main(int argc, char** argv) {
  // An interrupted run removes the temporary files it was writing.
  zelmora::InstallTemporaryFileCleanup();
  CLI::App app;
  int exitCode = 0;
  zelmora::cli::BuildApp(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  }
  return exitCode;
}
