// The main job against the engine's own floor.
//
//   bench_floor DB [DB ...] [--company N] [--year Y] [--runs R] [--layout 2010|2022]
//
// For each database (made beforehand with `zelmora db demo DB --movements N
// --seed 9`) and each scenario, this program runs, R times (default 5) and
// alternating, the main job (`zelmora telematic`, in process: declaration
// statement, records, file, format check) and the floor: bench/floor.sql,
// one plain joined GROUP BY over the same lines and keys, run on a plain
// SQLite handle of its own per filing, as the sqlite3 shell would run it.
// Every run is a process of its own, so that its peak memory is its own.
//
// Scenarios, in the layout in force since 2022 (the default): the sales and
// the purchases list of March, and the whole year: the twelve monthly
// submissions of each list, against the floors of the same periods. In the
// 2010 layout (--layout 2010, for databases made with --edge-cases, which
// the 2022 writer refuses) the purchases are quarterly: the list of the first
// quarter, and the four quarterly submissions in the whole year.
//
// Printed per scenario: the median wall time of each side and their ratio;
// the main job's peak memory above the program's own resident size; the
// part of it that does not depend on the data, which is the same job on a
// database of 1,000 movements made here (the code it runs, its parsed
// statement, the first pages of its caches); what is left, the memory that
// grows with the data; and the size that part is held to (twice the
// submission text plus the declaration lines as they sit in memory, of the
// largest filing). Then, per database pair, how the costs grew.
#include <malloc.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "bench/process_runner.h"
#include "cli/active_interface.h"
#include "cli/telematic_command.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/declaration_procedures.h"
#include "platform/recordset.h"
#include "demo/demo_data.h"
#include "platform/sqlite/host_schema.h"
#include "platform/sqlite/sqlite_extensions.h"

namespace {

using zelmora::Variant;
using zelmora::bench::Measure;
using zelmora::bench::Scenario;

// One submission: a list, its periodicity and the month that ends it.
struct Filing {
  bool purchases = false;
  int period = 3;  // the month that ends the period
  bool quarterly = false;
};

struct Case {
  const char* name;
  std::vector<Filing> filings;
};

std::vector<Case> Cases(const std::string& layout) {
  if (layout == "2010") {
    Case year{"whole year (16 filings)", {}};
    for (int month = 1; month <= 12; ++month) year.filings.push_back({false, month, false});
    for (int quarter = 1; quarter <= 4; ++quarter) year.filings.push_back({true, quarter * 3, true});
    return {{"month: sales, monthly", {{false, 3, false}}},
            {"quarter: purchases, quarterly", {{true, 3, true}}},
            year};
  }
  Case year{"whole year (24 filings)", {}};
  for (int month = 1; month <= 12; ++month) year.filings.push_back({false, month, false});
  for (int month = 1; month <= 12; ++month) year.filings.push_back({true, month, false});
  return {{"month: sales, monthly", {{false, 3, false}}}, {"month: purchases, monthly", {{true, 3, false}}}, year};
}

struct Options {
  std::vector<std::string> databases;
  int company = 1;
  int year = 2024;
  int runs = 5;
  std::string layout = "2022";
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The floor text of one filing: its dates and its document types.
std::string FloorFor(const std::string& floor, int company, int year, const Filing& f) {
  const int first = f.quarterly ? f.period - 2 : f.period;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int last = kDays[f.period - 1] + (f.period == 2 && leap ? 1 : 0);
  // Every place the text names it (its comment too).
  auto replace = [](std::string& text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    if (at == std::string::npos) {
      std::fprintf(stderr, "bench_floor: the floor query has no %s\n", from.c_str());
      std::exit(2);
    }
    for (; at != std::string::npos; at = text.find(from, at + to.size())) text.replace(at, from.size(), to);
  };
  std::string text = floor;
  char from[16], to[16];
  std::snprintf(from, sizeof from, "%04d%02d01", year, first);
  std::snprintf(to, sizeof to, "%04d%02d%02d", year, f.period, last);
  replace(text, "__FROM__", from);
  replace(text, "__TO__", to);
  replace(text, "h.IN01_DITTA_CG18 = 1", "h.IN01_DITTA_CG18 = " + std::to_string(company));
  if (f.purchases) replace(text, "IN (1, 2)", "IN (3, 4)");
  return text;
}

// The floor: each filing's query on a plain handle of its own, stepped to
// its end, as one run of the sqlite3 shell makes it (each filing of the main
// job is one zelmora run, with its own connection). The groups counted.
long RunFloor(const std::string& database, const std::vector<std::string>& queries) {
  long groups = 0;
  for (const std::string& sql : queries) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      sqlite3_close(db);
      return -1;
    }
    sqlite3_stmt* statement = nullptr;
    const char* tail = sql.c_str();
    // The file's leading comment lines come before the one statement.
    if (sqlite3_prepare_v2(db, tail, -1, &statement, &tail) != SQLITE_OK || !statement) {
      std::fprintf(stderr, "bench_floor: %s\n", sqlite3_errmsg(db));
      sqlite3_close(db);
      return -1;
    }
    while (sqlite3_step(statement) == SQLITE_ROW) groups += sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
  }
  return groups;
}

zelmora::cli::SubmissionRequest RequestFor(const Options& o, const std::string& database, const Filing& f,
                                           const std::string& folder) {
  zelmora::cli::SubmissionRequest r;
  r.database = database;
  r.company = std::to_string(o.company);
  r.year = std::to_string(o.year);
  r.period = std::to_string(f.period);
  r.lists = f.purchases ? "purchases" : "sales";
  r.periodicity = f.quarterly ? "quarterly" : "monthly";
  r.user = "ABCD";
  r.date = std::to_string(o.year + 1) + "-01-10";
  r.progressive = "1";
  r.submission = "1";
  r.vat = "01234567890";
  r.outDir = folder;
  r.layout = o.layout;
  return r;
}

// The main job: every filing of the case, each file written and checked.
// The bytes of the largest submission written.
long RunMain(const Options& o, const std::string& database, const std::vector<Filing>& filings,
             const std::string& folder) {
  long bytes = 0;
  for (const Filing& f : filings) {
    std::ostringstream out, err;
    if (zelmora::cli::RunTelematic(RequestFor(o, database, f, folder), out, err) != 0) {
      std::fprintf(stderr, "bench_floor: %s", err.str().c_str());
      return -1;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      bytes = std::max(bytes, static_cast<long>(entry.file_size()));
      std::filesystem::remove(entry.path());
    }
  }
  return bytes;
}

// The heap the declaration lines of one filing take once read (what the
// job holds while it builds the records), the other half of what its memory
// is held to. Run in a process of its own.
long LinesInMemory(const Options& o, const std::string& database, const Filing& f) {
  zelmora::CLSIN_INTRABO object;
  auto in = std::make_shared<zelmora::CLSIN_INPUTINTRA>();
  in->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=" + database);
  in->Ditta = Variant::Long(o.company);
  in->Anno = Variant::Integer(static_cast<int16_t>(o.year));
  in->PeriodoStampa = Variant::Integer(static_cast<int16_t>(f.period));
  in->TipoIntra = Variant::Integer(f.quarterly ? 2 : 1);
  in->TipoStampa = Variant::Integer(f.purchases ? 1 : 0);
  in->AnnoRiferimentoIntra = zelmora::AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  object.SetCInput(in);
  zelmora::IntraContext& context = object.context();
  zelmora::CreaConnessione(context);
  if (context.Stato == 0) zelmora::CreaClasseDittaBase(context);
  if (context.Stato != 0) return -1;
  object.SetActiveInterface(zelmora::cli::ActiveInterfaceFor(context));
  zelmora::declaration::BuildDeclarationStatement(context);
  if (context.Stato != 0) return -1;
  // The heap in use but SQLite's own part (its page cache and sorter grow
  // while the statement runs, and are the job's memory, not the lines').
  auto heap = [] {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<long>(m.uordblks + m.hblkhd) - static_cast<long>(sqlite3_memory_used());
  };
  const long before = heap();
  zelmora::RecordsetPtr lines = context.connection().Execute(object.COutput()->StringaSQLperStampaIntra.Text());
  return lines ? heap() - before : -1;
}

long LinesBytes(const Options& o, const std::string& database, const std::vector<Filing>& filings) {
  long bytes = 0;
  for (const Filing& f : filings) {
    const long one = LinesInMemory(o, database, f);
    if (one < 0) return -1;
    bytes = std::max(bytes, one);
  }
  return bytes;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Result {
  double main = 0, floor = 0, memory = 0, fixed = 0, budget = 0;
};

// The database the fixed part of the memory is measured on: the demo
// company with 1,000 movements, a few lines in every period.
bool MakeSmallDatabase(const Options& o, const std::string& path) {
  sqlite3* db = nullptr;
  bool made = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK &&
              zelmora::RegisterTsqlExtensions(db) == SQLITE_OK;
  try {
    if (made) {
      zelmora::CreateHostSchema(db);
      zelmora::FillDemoData(db, {1000, 9, o.layout == "2010"});
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_floor: %s\n", e.what());
    made = false;
  }
  return sqlite3_close(db) == SQLITE_OK && made;
}

bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto number = [&](int& into, int low) {
      if (i + 1 >= argc) return false;
      into = std::max(low, std::atoi(argv[++i]));
      return true;
    };
    if (arg == "--company") {
      if (!number(o.company, 1)) return false;
    } else if (arg == "--year") {
      if (!number(o.year, 1900)) return false;
    } else if (arg == "--runs") {
      if (!number(o.runs, 1)) return false;
    } else if (arg == "--layout") {
      if (i + 1 >= argc) return false;
      o.layout = argv[++i];
      if (o.layout != "2010" && o.layout != "2022") return false;
    } else if (arg.starts_with("--")) {
      return false;
    } else {
      o.databases.push_back(arg);
    }
  }
  return !o.databases.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(stderr, "usage: bench_floor DB [DB ...] [--company N] [--year Y] [--runs R] [--layout 2010|2022]\n");
    return 2;
  }
  const std::string floor = ReadFile(ZELMORA_FLOOR_SQL);
  if (floor.empty()) {
    std::fprintf(stderr, "bench_floor: cannot read %s\n", ZELMORA_FLOOR_SQL);
    return 2;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("bench_floor." + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  int failures = 0;
  std::vector<std::vector<Result>> results;
  const std::string small = (folder / "small.db").string();
  // Made in a child, so that what SQLite took to fill it is not this
  // program's (a run's memory is measured from this program's size).
  Measure made;
  if (!zelmora::bench::RunOnce({"small", [&] { return MakeSmallDatabase(o, small) ? 0L : -1L; }}, made)) {
    std::fprintf(stderr, "bench_floor: cannot make the small database %s\n", small.c_str());
    std::filesystem::remove_all(folder);
    return 2;
  }
  const std::string files = (folder / "out").string();
  std::filesystem::create_directories(files);
  std::printf("%-10s %-30s %8s %8s %6s %8s %8s %8s %8s\n", "database", "scenario", "main s", "floor s", "ratio",
              "mem MiB", "fixed", "data", "limit");
  for (const std::string& database : o.databases) {
    results.emplace_back();
    const std::string label = std::filesystem::path(database).stem().string();
    for (const Case& c : Cases(o.layout)) {
      std::vector<std::string> queries;
      for (const Filing& f : c.filings) queries.push_back(FloorFor(floor, o.company, o.year, f));
      Measure lines;
      const bool linesRead = zelmora::bench::RunOnce(
          {"lines", [&] { return LinesBytes(o, database, c.filings); }}, lines);
      std::vector<double> mains, floors, memories, fixeds;
      long submission = 0;
      bool ok = linesRead;
      for (int run = 0; run < o.runs && ok; ++run) {
        Measure m, f, s;
        ok = zelmora::bench::RunOnce({"main", [&] { return RunMain(o, database, c.filings, files); }}, m) &&
             zelmora::bench::RunOnce({"floor", [&] { return RunFloor(database, queries); }}, f) &&
             zelmora::bench::RunOnce({"fixed", [&] { return RunMain(o, small, c.filings, files); }}, s);
        if (!ok) break;
        mains.push_back(m.seconds);
        floors.push_back(f.seconds);
        memories.push_back(m.peakMiB - m.startMiB);
        fixeds.push_back(s.peakMiB - s.startMiB);
        submission = m.rows;
      }
      if (!ok) {
        std::printf("%-10s %-30s failed\n", label.c_str(), c.name);
        ++failures;
        results.back().push_back({});
        continue;
      }
      // The filings run one after another: the largest is what is held at
      // once. The largest peak against the smallest fixed part, so that the
      // part left to the data is not understated.
      Result r{Median(mains), Median(floors), *std::max_element(memories.begin(), memories.end()),
               *std::min_element(fixeds.begin(), fixeds.end()),
               2.0 * static_cast<double>(submission + lines.rows) / (1024.0 * 1024.0)};
      std::printf("%-10s %-30s %8.3f %8.3f %6.2f %8.1f %8.1f %8.1f %8.1f\n", label.c_str(), c.name, r.main, r.floor,
                  r.main / r.floor, r.memory, r.fixed, r.memory - r.fixed, r.budget);
      std::fflush(stdout);
      results.back().push_back(r);
    }
  }
  std::filesystem::remove_all(folder);
  // How the costs grew from one database to the next (listed smallest first).
  for (size_t d = 1; d < results.size(); ++d) {
    const std::vector<Case> cases = Cases(o.layout);
    for (size_t i = 0; i < cases.size(); ++i) {
      const Result& small = results[d - 1][i];
      const Result& large = results[d][i];
      if (small.main <= 0 || small.floor <= 0) continue;
      std::printf("growth %s -> %s, %-30s main x%.1f, floor x%.1f\n",
                  std::filesystem::path(o.databases[d - 1]).stem().c_str(),
                  std::filesystem::path(o.databases[d]).stem().c_str(), cases[i].name, large.main / small.main,
                  large.floor / small.floor);
    }
  }
  return failures == 0 ? 0 : 1;
}
