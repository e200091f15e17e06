// zelmora nomenclature import FILE.csv --db PATH --year Y --kind goods|services
#include "cli/nomenclature_command.h"

#include <sqlite3.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/bounded_input.h"
#include "cli/commands.h"
#include "cli/csv_records.h"
#include "cli/input_checks.h"
#include "cli/options.h"
#include "platform/text_util.h"

namespace zelmora::cli {

namespace {

// The text as UTF-8: a spreadsheet saved as "CSV" on Windows writes its
// code page (Windows-1252), whose accented letters are not valid UTF-8.
std::string AsUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) break;
    size_t k = 1;
    while (k < length && (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80) ++k;
    if (k < length) break;
    i += length;
  }
  if (i == text.size()) return std::string(text);
  // Windows-1252's letters 0x80-0x9F that differ from Latin-1.
  static const char32_t kHigh[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                     0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  std::string converted;
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    AppendUtf8(converted, byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : static_cast<char32_t>(byte));
  }
  return converted;
}

struct Code {
  std::string code;
  std::string description;
};

struct Database {
  sqlite3* db = nullptr;
  ~Database() { sqlite3_close(db); }
  bool Run(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
};

class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr); }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool ok() const { return statement_ != nullptr; }
  sqlite3_stmt* get() const { return statement_; }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

}  // namespace

int RunNomenclatureImport(const NomenclatureImportRequest& request, std::ostream& out, std::ostream& err) {
  auto fail = [&](const std::string& why, int code = 2) {
    SayWhy(err, "zelmora nomenclature import", why);
    return code;
  };
  try {
    if (request.kind.empty()) throw Refusal{"--kind is required"};
    if (request.kind != "goods" && request.kind != "services") {
      throw Refusal{"--kind must be goods or services, not '" + request.kind + "'"};
    }
    WholeValue(request.year, kYear);
    DatabaseConnection(request.database);
    if (IsConnectionString(request.database)) {
      throw Refusal{"--db of nomenclature import is a SQLite file, not a connection string"};
    }
  } catch (const Refusal& refusal) {
    return fail(refusal.reason, refusal.exitCode);
  }
  const size_t width = request.kind == "goods" ? 8 : 6;
  // The file's name as messages give it.
  const std::string named = request.file == "-" ? std::string("standard input") : Shown(request.file);
  std::string text;
  try {
    text = ReadBoundedInput(request.file, kMaxCsvBytes, "the CSV file");
  } catch (const Refusal& refusal) {
    return fail(refusal.reason, refusal.exitCode);
  }

  std::vector<Code> codes;
  std::set<std::string> seen;
  char separator = 0;
  bool heading = true;  // until the first line with a code
  CsvReader reader(text);
  CsvRecord record;
  while (true) {
    try {
      if (!reader.Next(record)) break;
    } catch (const CsvError& error) {
      return fail(named + " line " + std::to_string(error.line) + ": " + error.what);
    }
    std::string& line = record.text;
    const int first = record.line;
    if (first == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    if (TrimBlanks(line).empty()) continue;
    // Spreadsheets saved with Italian settings separate fields with ';'.
    if (separator == 0) separator = line.find(';') != std::string::npos ? ';' : ',';
    std::vector<std::string> fields = CsvFields(line, separator);
    // The official lists print goods codes in groups ("8482 10 10").
    std::string code;
    for (char c : TrimBlanks(fields[0])) {
      if (c != ' ') code += c;
    }
    // A heading line names the columns: its code field has no digit.
    if (heading && code.find_first_of("0123456789") == std::string::npos) continue;
    heading = false;
    const std::string where = named + " line " + std::to_string(first) + ": ";
    if (!IsDigits(code)) return fail(where + "code \"" + Shown(code) + "\" is not all digits");
    if (code.size() != width) {
      return fail(where + "code " + code + " has " + std::to_string(code.size()) + " digits, a " +
                  (request.kind == "goods" ? "goods" : "services") + " code has " + std::to_string(width));
    }
    if (!seen.insert(code).second) return fail(where + "code " + code + " is listed twice");
    codes.push_back({code, fields.size() > 1 ? AsUtf8(TrimBlanks(fields[1])) : std::string()});
  }
  if (codes.empty()) return fail(named + " holds no codes");

  Database db;
  if (sqlite3_open_v2(request.database.c_str(), &db.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    return fail("cannot open the database: " + std::string(sqlite3_errmsg(db.db)) + ": " + request.database);
  }
  // Reading the schema proves that the file is a database.
  if (!db.Run("SELECT count(*) FROM sqlite_master")) {
    const int code = sqlite3_errcode(db.db);
    return fail("cannot open the database: " + std::string(sqlite3_errmsg(db.db)) + " (SQLite error " +
                    std::to_string(sqlite3_extended_errcode(db.db)) + "): " + request.database,
                code == SQLITE_NOTADB || code == SQLITE_CANTOPEN ? 2 : 1);
  }
  sqlite3_busy_timeout(db.db, 5000);
  const int kind = request.kind == "goods" ? 0 : 1;
  // The year's list of that kind is replaced whole, in one transaction.
  if (!db.Run("BEGIN IMMEDIATE")) return fail("cannot write " + request.database + ": " + sqlite3_errmsg(db.db), 1);
  Statement clear(db.db, "DELETE FROM CG72_NOMENCLATURE WHERE CG72_ANNO = ? AND CG72_INDTIPO = ?");
  Statement insert(db.db,
                   "INSERT INTO CG72_NOMENCLATURE (CG72_ANNO, CG72_INDTIPO, CG72_CODICE, CG72_DESCR) "
                   "VALUES (?, ?, ?, ?)");
  bool ok = clear.ok() && insert.ok();
  int replaced = 0;
  if (ok) {
    sqlite3_bind_int(clear.get(), 1, request.year);
    sqlite3_bind_int(clear.get(), 2, kind);
    ok = sqlite3_step(clear.get()) == SQLITE_DONE;
    replaced = sqlite3_changes(db.db);
  }
  for (size_t i = 0; ok && i < codes.size(); ++i) {
    sqlite3_bind_int(insert.get(), 1, request.year);
    sqlite3_bind_int(insert.get(), 2, kind);
    sqlite3_bind_text(insert.get(), 3, codes[i].code.c_str(), -1, SQLITE_TRANSIENT);
    // The code table keeps up to 200 characters of description.
    const std::string description = Utf8Left(codes[i].description, 200);
    sqlite3_bind_text(insert.get(), 4, description.c_str(), -1, SQLITE_TRANSIENT);
    ok = sqlite3_step(insert.get()) == SQLITE_DONE && sqlite3_reset(insert.get()) == SQLITE_OK;
  }
  if (!ok || !db.Run("COMMIT")) {
    const std::string problem = sqlite3_errmsg(db.db);
    sqlite3_reset(clear.get());
    sqlite3_reset(insert.get());
    db.Run("ROLLBACK");
    return fail("cannot write " + request.database + ": " + problem, 1);
  }
  out << codes.size() << " " << request.kind << " codes of " << request.year << " loaded";
  if (replaced > 0) out << " (in place of " << replaced << ")";
  out << "\n";
  return 0;
}

void AddNomenclatureCommand(CLI::App& app, int& exitCode) {
  auto* command = app.add_subcommand("nomenclature", "The code lists of goods and services");
  command->require_subcommand(1);
  auto* import = command->add_subcommand("import", "Load one year's official code list from a CSV file");
  auto request = std::make_shared<NomenclatureImportRequest>();
  import->add_option("FILE", request->file, "the CSV file: code, description, supplementary unit; - for standard input")->required();
  auto year = std::make_shared<std::string>();
  import->add_option("--db", request->database, "the host database (a SQLite file)");
  import->add_option("--year", *year, "the year the list is valid for, 1900 to 9999");
  import->add_option("--kind", request->kind, "goods or services");
  OnRun(*import, exitCode, [request, year](std::ostream& out, std::ostream& err) {
    request->year = static_cast<int>(RequiredWhole(*year, kYear));
    return RunNomenclatureImport(*request, out, err);
  });
}

}  // namespace zelmora::cli
