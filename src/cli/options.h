// The command line of every zelmora command, declared once: the options the
// commands share (database, company, year, period, periodicity, lists,
// output), their one set of ranges, the one way a value is refused, and how
// a command runs: one line on standard error with the command's prefix,
// exit 2 for anything the person gave wrongly, 1 for a failure while
// working.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/input_checks.h"

namespace CLI {
class App;
}

namespace zelmora::cli {

// The longest --db value (a path or a connection string): the ODBC driver
// manager is handed the string as it is and does not take longer ones.
inline constexpr size_t kMaxDatabaseLength = 1000;
// The longest value of any other option or argument.
inline constexpr size_t kMaxValueLength = 10000;

// A whole number option and its range.
struct WholeOption {
  const char* name;
  int64_t low;
  int64_t high;
};

// The company code is a Long in the host's tables.
inline constexpr WholeOption kCompany{"--company", 1, 2147483647};
// A year whose days SQL Server's datetime and the files' dates can write.
inline constexpr WholeOption kYear{"--year", 1900, 9999};
// The month that ends the period.
inline constexpr WholeOption kPeriod{"--period", 1, 12};

// The value typed, held to the option's range: digits only (no sign, no
// blank, no hexadecimal), or a Refusal naming the option.
int64_t WholeValue(const std::string& text, const WholeOption& option);
// A number already read (a caller that fills a request by hand), held to
// the same range with the same refusal.
int64_t WholeValue(int64_t value, const WholeOption& option);

// As WholeValue, and "--company is required" for an absent (empty) value.
int64_t RequiredWhole(const std::string& text, const WholeOption& option);

// The company, year and period typed on the command line, each required
// and in its range, into a request that holds them as numbers.
template <class Request>
void ReadPeriodOptions(Request& request, const std::string& company, const std::string& year,
                       const std::string& period) {
  request.company = static_cast<int>(RequiredWhole(company, kCompany));
  request.year = static_cast<int>(RequiredWhole(year, kYear));
  request.period = static_cast<int>(RequiredWhole(period, kPeriod));
}

// 1 monthly, 2 quarterly, 3 annual (the business object's TipoIntra).
enum class Periodicity { Monthly = 1, Quarterly = 2, Annual = 3 };

// The period rule of every command: a quarterly period is named by the
// quarter's last month (3, 6, 9 or 12); any other month would select no
// line at all. `whose` says where the periodicity comes from when it is not
// the command line's ("company 1 files its purchases list quarterly").
void CheckPeriodFor(int month, Periodicity periodicity, const std::string& whose = "");

// The lists a command works on.
enum class Lists { Sales = 0, Purchases = 1, Both = 2 };
// `text` is sales, purchases or (when `bothAllowed`) both.
Lists ListsValue(const std::string& text, const char* option, bool bothAllowed);

// Whether the --db value is a connection string ("Provider=SQLOLEDB;Data
// Source=...", "Driver=FreeTDS;Server=..."): it holds '='. Otherwise it is
// the path of a SQLite file.
bool IsConnectionString(const std::string& value);

// The --db value as the business object takes it: a connection string as
// given, or the connection string of a SQLite file that is there and can be
// read. Refused: an empty value, one longer than kMaxDatabaseLength, a
// control character, a file that is missing, not a regular file or not
// readable.
std::string DatabaseConnection(const std::string& value);

// The option declarations, each with its one help text.
void AddDatabaseOption(CLI::App& command, std::string& into);
void AddCompanyOption(CLI::App& command, std::string& into);
void AddYearOption(CLI::App& command, std::string& into);
void AddPeriodOption(CLI::App& command, std::string& into);
// --list (one list) or --lists (with `bothAllowed`, sales, purchases or both).
void AddListsOption(CLI::App& command, std::string& into, bool bothAllowed);
// --out: the folder the command's file is written into.
void AddOutFolderOption(CLI::App& command, std::string& into);

// "zelmora movements", "zelmora db demo": how the command's messages start.
std::string CommandPrefix(const CLI::App& command);

// The one form of a command's complaint: one line on `err`, the command
// ("zelmora movements"), ": " and the reason with its control characters
// shown escaped.
void SayWhy(std::ostream& err, const std::string& command, const std::string& reason);

// Registers what the command does when it is run: every value given on the
// command line is checked first (none empty, none longer than
// kMaxValueLength), then `run` returns the exit status; a Refusal that
// escapes it is written as one line with the command's prefix, and any
// other exception too, as a failure (exit 1).
void OnRun(CLI::App& command, int& exitCode, std::function<int(std::ostream& out, std::ostream& err)> run);

// Parses the arguments (after the program's name) with the program's
// application and runs the command. A command line CLI11 refuses (an option
// given twice, a missing value, an unknown option or argument) is one line
// on `err` with the command's prefix and exit 2; --help prints the help on
// `out` and exits 0. Returns the exit status.
int RunCommandLine(CLI::App& app, const int& exitCode, const std::vector<std::string>& args, std::ostream& out,
                   std::ostream& err);

}  // namespace zelmora::cli
