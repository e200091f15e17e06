// The zelmora command: the host harness, the database tools and the jobs
// a person runs from a terminal.
#include <iostream>

#include <CLI/CLI.hpp>

#include "cli/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"zelmora: Italian INTRASTAT declarations from the host's accounting database"};
  app.require_subcommand(1);
  int exitCode = 0;
  zelmora::cli::AddHostCommand(app, exitCode);
  zelmora::cli::AddDbCommand(app, exitCode);
  zelmora::cli::AddMovementsCommand(app, exitCode);
  zelmora::cli::AddDeclarationCommand(app, exitCode);
  zelmora::cli::AddTelematicCommand(app, exitCode);
  zelmora::cli::AddCheckCommand(app, exitCode);
  zelmora::cli::AddNomenclatureCommand(app, exitCode);
  zelmora::cli::AddVerifyCommand(app, exitCode);
  zelmora::cli::AddFrenchCommand(app, exitCode);
  zelmora::cli::AddPrintCommand(app, exitCode);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  }
  return exitCode;
}
