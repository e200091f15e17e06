// The subcommands of the zelmora program. Each registers itself on the
// application; its callback leaves the process exit status in `exitCode`.
#pragma once

namespace CLI {
class App;
}

namespace zelmora::cli {

void AddHostCommand(CLI::App& app, int& exitCode);
void AddDbCommand(CLI::App& app, int& exitCode);
void AddMovementsCommand(CLI::App& app, int& exitCode);
void AddDeclarationCommand(CLI::App& app, int& exitCode);
// zelmora telematic and zelmora legacy (the submission files).
void AddTelematicCommand(CLI::App& app, int& exitCode);
void AddCheckCommand(CLI::App& app, int& exitCode);
void AddNomenclatureCommand(CLI::App& app, int& exitCode);
void AddVerifyCommand(CLI::App& app, int& exitCode);
void AddFrenchCommand(CLI::App& app, int& exitCode);
// zelmora print: the journal, the laser forms and the cover page as PDF.
void AddPrintCommand(CLI::App& app, int& exitCode);

// The whole program: its description and every subcommand above.
void BuildApp(CLI::App& app, int& exitCode);

}  // namespace zelmora::cli
