#include "cli/commands.h"

#include <CLI/CLI.hpp>

namespace zelmora::cli {

void BuildApp(CLI::App& app, int& exitCode) {
  app.name("zelmora");
  app.description("zelmora: Italian INTRASTAT declarations from the host's accounting database");
  app.require_subcommand(1);
  AddHostCommand(app, exitCode);
  AddDbCommand(app, exitCode);
  AddMovementsCommand(app, exitCode);
  AddDeclarationCommand(app, exitCode);
  AddTelematicCommand(app, exitCode);
  AddCheckCommand(app, exitCode);
  AddNomenclatureCommand(app, exitCode);
  AddVerifyCommand(app, exitCode);
  AddFrenchCommand(app, exitCode);
  AddPrintCommand(app, exitCode);
}

}  // namespace zelmora::cli
