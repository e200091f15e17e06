#include "cli/options.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cctype>
#include <cstring>
#include <iostream>
#include <ostream>

#include <CLI/CLI.hpp>

#include "platform/text_util.h"

namespace zelmora::cli {

namespace {

[[noreturn]] void RefuseWhole(const std::string& shown, const WholeOption& option) {
  throw Refusal{std::string(option.name) + " must be a whole number from " + std::to_string(option.low) + " to " +
                std::to_string(option.high) + ", not '" + shown + "'"};
}

// The names of an option as the person may have typed it.
std::string OptionName(const CLI::Option& option) {
  if (!option.get_lnames().empty()) return "--" + option.get_lnames().front();
  if (!option.get_snames().empty()) return "-" + option.get_snames().front();
  return option.get_name();
}

// The deepest command the parse reached: the one whose prefix a message takes.
const CLI::App& ParsedCommand(const CLI::App& app) {
  const CLI::App* at = &app;
  for (;;) {
    const std::vector<CLI::App*> chosen = const_cast<CLI::App*>(at)->get_subcommands();
    if (chosen.empty()) return *at;
    at = chosen.back();
  }
}

// Every value the command line gave the command: none empty (an empty
// value is not an absent one), none longer than the limit.
void CheckGivenValues(CLI::App& command) {
  for (const CLI::Option* option : command.get_options()) {
    if (option->get_items_expected_max() == 0) continue;  // a flag
    for (const std::string& value : option->results()) {
      const std::string name = OptionName(*option);
      if (value.empty()) throw Refusal{name + " is given an empty value: give one, or leave the option out"};
      // --db has its own, shorter limit, checked with the database.
      if (name != "--db" && value.size() > kMaxValueLength) {
        throw Refusal{name + " has " + std::to_string(value.size()) + " characters, more than the " +
                      std::to_string(kMaxValueLength) + " a value may have"};
      }
    }
  }
}

// CLI11's refusal in the words of the other messages.
std::string ParseComplaint(const CLI::ParseError& error, const CLI::App& command) {
  std::string what = error.what();
  if (what == "A subcommand is required") {
    const std::vector<std::string> left = command.remaining();
    if (!left.empty()) return "'" + left.front() + "' is not a command: see --help";
    return "a command is required: see --help";
  }
  // "--db: 1 required TEXT missing": an option at the end without its value.
  const size_t missing = what.find(": 1 required ");
  if (missing != std::string::npos && what.ends_with(" missing")) return what.substr(0, missing) + " needs a value";
  // "--db: At Most 1 required but received 2": an option given again.
  const size_t most = what.find(": At Most 1 required but received ");
  if (most != std::string::npos) {
    return what.substr(0, most) + " is given " + what.substr(most + 34) + " times: give it once";
  }
  if (!what.empty()) what[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(what[0])));
  return what;
}

}  // namespace

int64_t WholeValue(const std::string& text, const WholeOption& option) {
  return Whole(text, option.name, option.low, option.high);
}

int64_t RequiredWhole(const std::string& text, const WholeOption& option) {
  if (text.empty()) throw Refusal{std::string(option.name) + " is required"};
  return WholeValue(text, option);
}

int64_t WholeValue(int64_t value, const WholeOption& option) {
  if (value < option.low || value > option.high) RefuseWhole(std::to_string(value), option);
  return value;
}

void CheckPeriodFor(int month, Periodicity periodicity, const std::string& whose) {
  if (periodicity != Periodicity::Quarterly || month % 3 == 0) return;
  throw Refusal{"--period must be the last month of a quarter (3, 6, 9 or 12) " +
                (whose.empty() ? std::string("for a quarterly declaration") : "as " + whose) + ", not " +
                std::to_string(month)};
}

Lists ListsValue(const std::string& text, const char* option, bool bothAllowed) {
  if (text == "sales") return Lists::Sales;
  if (text == "purchases") return Lists::Purchases;
  if (text == "both" && bothAllowed) return Lists::Both;
  throw Refusal{std::string(option) + " must be sales" + (bothAllowed ? ", purchases or both" : " or purchases") +
                ", not '" + Shown(text) + "'"};
}

bool IsConnectionString(const std::string& value) { return value.find('=') != std::string::npos; }

std::string DatabaseConnection(const std::string& value) {
  if (value.empty()) throw Refusal{"--db is required"};
  if (value.size() > kMaxDatabaseLength) {
    throw Refusal{"--db has " + std::to_string(value.size()) + " characters, more than the " +
                  std::to_string(kMaxDatabaseLength) + " a database path or connection string may have"};
  }
  if (HasControlCharacter(value)) throw Refusal{"--db must not hold a control character: '" + Shown(value) + "'"};
  if (IsConnectionString(value)) return value;
  struct stat file {};
  if (::stat(value.c_str(), &file) != 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) throw Refusal{"no database file at " + value};
    throw Refusal{"cannot read the database " + value + ": " + std::strerror(error)};
  }
  if (S_ISDIR(file.st_mode)) throw Refusal{"--db names a folder, not a database file: " + value};
  if (!S_ISREG(file.st_mode)) throw Refusal{"--db names no regular file: " + value};
  if (::access(value.c_str(), R_OK) != 0) {
    throw Refusal{"cannot read the database " + value + ": " + std::strerror(errno)};
  }
  // The path between quotes, a quote in it doubled: a path may hold ';'.
  std::string quoted;
  for (char c : value) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return "Provider=SQLite;Data Source=\"" + quoted + "\"";
}

void AddDatabaseOption(CLI::App& command, std::string& into) {
  command.add_option("--db", into,
                     "the host database: a SQLite file, or a connection string (it holds '=') of at most 1000 "
                     "characters");
}

void AddCompanyOption(CLI::App& command, std::string& into) {
  command.add_option("--company", into, "the company's code, 1 to 2147483647");
}

void AddYearOption(CLI::App& command, std::string& into) {
  command.add_option("--year", into, "the year of the period, 1900 to 9999");
}

void AddPeriodOption(CLI::App& command, std::string& into) {
  command.add_option("--period", into,
                     "the month that ends the period, 1 to 12 (quarterly: the quarter's last month, 3, 6, 9 or 12)");
}

void AddListsOption(CLI::App& command, std::string& into, bool bothAllowed) {
  if (bothAllowed) {
    command.add_option("--lists", into, "sales (INTRA-1), purchases (INTRA-2) or both");
  } else {
    command.add_option("--list", into, "sales (INTRA-1) or purchases (INTRA-2)");
  }
}

void AddOutFolderOption(CLI::App& command, std::string& into) {
  command.add_option("--out", into, "the folder the file is written into");
}

std::string CommandPrefix(const CLI::App& command) {
  std::string path;
  for (const CLI::App* at = &command; at != nullptr && at->get_parent() != nullptr; at = at->get_parent()) {
    path = " " + at->get_name() + path;
  }
  return "zelmora" + path;
}

void SayWhy(std::ostream& err, const std::string& command, const std::string& reason) {
  err << command << ": " << Shown(reason) << "\n";
}

void OnRun(CLI::App& command, int& exitCode, std::function<int(std::ostream& out, std::ostream& err)> run) {
  command.callback([&command, &exitCode, run = std::move(run)] {
    try {
      CheckGivenValues(command);
      exitCode = run(std::cout, std::cerr);
    } catch (const Refusal& refusal) {
      SayWhy(std::cerr, CommandPrefix(command), refusal.reason);
      exitCode = refusal.exitCode;
    } catch (const std::exception& failure) {
      // A failure no command caught is still one line and exit 1.
      SayWhy(std::cerr, CommandPrefix(command), failure.what());
      exitCode = 1;
    }
  });
}

int RunCommandLine(CLI::App& app, const int& exitCode, const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err) {
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::Success& help) {
    return app.exit(help, out, err);
  } catch (const CLI::ParseError& error) {
    const CLI::App& command = ParsedCommand(app);
    SayWhy(err, CommandPrefix(command), ParseComplaint(error, command));
    return 2;
  }
  return exitCode;
}

}  // namespace zelmora::cli
