#include "cli/commands.h"

#include <CLI/CLI.hpp>

#include "zelmora/version.h"

namespace zelmora::cli {

void BuildApp(CLI::App& app, int& exitCode) {
  app.name("zelmora");
  app.description("zelmora: Italian INTRASTAT declarations from the host's accounting database");
  app.set_version_flag("--version", std::string("zelmora ") + ZELMORA_VERSION, "Print the version and exit");
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
