// zelmora db init PATH: a new SQLite file with the host schema and no data.
// zelmora db demo PATH [--movements N] [--seed S] [--edge-cases]: the same,
// filled with the demonstration company.
// zelmora db upgrade PATH: adds zelmora's own tables (column B of the nature,
// call-off stock) to an existing host database that lacks them.
// init and demo refuse a PATH that exists, and builds the file under a temporary
// name beside it, moving it to PATH only once complete, so a failure leaves
// no file behind.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <system_error>

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/input_checks.h"
#include "cli/options.h"
#include "cli/output_target.h"
#include "platform/error.h"
#include "demo/demo_data.h"
#include "platform/sqlite/extension_schema.h"
#include "platform/sqlite/host_schema.h"
#include "platform/sqlite/sqlite_extensions.h"
#include "platform/temp_files.h"

namespace zelmora::cli {

namespace {

namespace fs = std::filesystem;

class Database {
 public:
  explicit Database(const std::string& path) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
      // A failed open still hands out a handle, which the destructor of a
      // half-built object would not close.
      const std::string message =
          "cannot create " + path + ": " + (db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
      sqlite3_close(db_);
      db_ = nullptr;
      throw Error(rc & 0xff, message);
    }
  }
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* get() const { return db_; }

  void Close() {
    const int rc = sqlite3_close(db_);
    if (rc != SQLITE_OK) Fail(rc, "cannot close the database");
    db_ = nullptr;
  }

  [[noreturn]] void Fail(int rc, const std::string& what) const {
    throw Error(rc & 0xff, what + ": " + (db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)));
  }

 private:
  sqlite3* db_ = nullptr;
};

bool PathTaken(const std::string& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

// Creates PATH with the host schema, lets `fill` add to it, and moves the
// finished file into place without replacing a file that appeared meanwhile.
// The file is built under a temporary name of this run beside PATH
// (temp_files.h): made exclusively (an existing file of that name is never
// opened, let alone removed), locked and listed for the signal handler while
// it is built, and swept by a later run if this one is killed.
void BuildDatabase(const std::string& path, const std::function<void(sqlite3*)>& fill) {
  CheckOutputPath(path, "PATH");
  if (PathTaken(path)) throw Error(58, path + " already exists");
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  SweepTemporaryFiles(folder);
  const std::string scratch = (folder == "/" ? "/" : folder + "/") + TemporaryName(name, "db");
  TemporaryPathEntry listed(scratch);
  const int fd = ::open(scratch.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) throw Error(58, "cannot create " + path + ": " + std::strerror(errno));
  // The lock is held through this descriptor until the end. It is closed
  // only after SQLite's own handle: closing a descriptor of a file drops
  // every POSIX lock the process holds on it, SQLite's included.
  LockTemporaryFile(fd);
  struct Scratch {
    const std::string& path;
    int fd;
    bool keep = false;
    ~Scratch() {
      if (!keep) {
        ::unlink(path.c_str());
        ::unlink((path + "-journal").c_str());
      }
      ::close(fd);
    }
  } guard{scratch, fd};
  {
    Database db(scratch);
    const int rc = RegisterTsqlExtensions(db.get());
    if (rc != SQLITE_OK) db.Fail(rc, "cannot register the TSQL collation and functions");
    // The file is thrown away if anything fails: no journal file beside it.
    sqlite3_exec(db.get(), "PRAGMA journal_mode=MEMORY", nullptr, nullptr, nullptr);
    CreateHostSchema(db.get());
    if (fill) fill(db.get());
    db.Close();
  }
  // A hard link refuses an existing target, where a rename would replace it.
  if (::link(scratch.c_str(), path.c_str()) == 0) return;  // the guard removes the scratch name
  if (errno == EEXIST || PathTaken(path)) throw Error(58, path + " already exists");
  // A file system without hard links: the rename, with the target checked
  // just before.
  fs::rename(scratch, path);
  guard.keep = true;
}

// The largest demonstration: some 2 GB of database.
constexpr int64_t kMaxDemoMovements = 10'000'000;

// The database made at PATH, or the reason why not: one line; a file that
// cannot be written (a folder that is not there, a full disk) is a failure
// while working, exit 1.
int Build(const std::string& path, const std::function<void(sqlite3*)>& fill, std::ostream& err,
          const std::string& command) {
  if (PathTaken(path)) throw Refusal{path + " already exists"};
  try {
    BuildDatabase(path, fill);
  } catch (const std::exception& e) {
    SayWhy(err, command, e.what());
    return 1;
  }
  return 0;
}

}  // namespace

void AddDbCommand(CLI::App& app, int& exitCode) {
  auto* db = app.add_subcommand("db", "Create a host database in SQLite");
  db->require_subcommand(1);

  auto* init = db->add_subcommand("init", "Create an empty host database at PATH");
  auto initPath = std::make_shared<std::string>();
  init->add_option("PATH", *initPath, "the database file to create; it must not exist")->required();
  OnRun(*init, exitCode, [initPath](std::ostream& out, std::ostream& err) {
    const int status = Build(*initPath, nullptr, err, "zelmora db init");
    if (status == 0) out << "Created " << *initPath << " with the host schema and no data\n";
    return status;
  });

  auto* upgrade = db->add_subcommand(
      "upgrade", "Add zelmora's own tables (nature column B, call-off stock) to an existing database at PATH");
  auto upgradePath = std::make_shared<std::string>();
  upgrade->add_option("PATH", *upgradePath, "the host database file; it must exist")->required();
  OnRun(*upgrade, exitCode, [upgradePath](std::ostream& out, std::ostream&) {
    std::error_code ec;
    if (!fs::is_regular_file(*upgradePath, ec)) throw Refusal{"no database file at " + Shown(*upgradePath)};
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(upgradePath->c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(handle, sqlite3_close);
    if (rc != SQLITE_OK) {
      throw Refusal{"cannot open " + Shown(*upgradePath) + ": " + (handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc))};
    }
    const bool added = UpgradeExtensionSchema(handle);
    out << (added ? "Added zelmora's tables ZL01_NATURAB and ZL02_CALLOFFSTOCK to "
                  : "Nothing to add: zelmora's tables are already in ")
        << *upgradePath << "\n";
    return 0;
  });

  auto* demo = db->add_subcommand("demo", "Create a host database at PATH filled with a demonstration company");
  auto demoPath = std::make_shared<std::string>();
  auto movements = std::make_shared<std::string>("5000");
  auto seed = std::make_shared<std::string>("1");
  demo->add_option("PATH", *demoPath, "the database file to create; it must not exist")->required();
  demo->add_option("--movements", *movements, "number of Intrastat lines to generate, 0 to 10000000")
      ->capture_default_str();
  demo->add_option("--seed", *seed,
                   "seed of the generator, 0 to 9223372036854775807: the same seed gives the same data")
      ->capture_default_str();
  auto edgeCases = std::make_shared<bool>(false);
  demo->add_flag("--edge-cases", *edgeCases,
                 "add what real master data get wrong, for the checks to find: codes in no table or out of their "
                 "year, parties without registry entry or country, lines without a country, lines that net below "
                 "zero, statistical-only sales, quarterly purchases (the 2022 layout refuses such data)");
  OnRun(*demo, exitCode, [demoPath, movements, seed, edgeCases](std::ostream& out, std::ostream& err) {
    DemoOptions options;
    options.edgeCases = *edgeCases;
    options.movements = Whole(*movements, "--movements", 0, kMaxDemoMovements);
    options.seed = static_cast<uint64_t>(Whole(*seed, "--seed", 0, INT64_MAX));
    DemoSummary summary;
    const int status =
        Build(*demoPath, [&](sqlite3* handle) { summary = FillDemoData(handle, options); }, err, "zelmora db demo");
    if (status != 0) return status;
    out << "Created " << *demoPath << ": " << summary.companies << " companies, " << summary.parties
        << " customers and suppliers, " << summary.documents << " documents, " << summary.lines
        << " Intrastat lines, " << summary.firstYear << "-" << summary.lastYear << " (seed " << options.seed
        << (options.edgeCases ? ", with edge cases" : "") << ")\n";
    return 0;
  });
}

}  // namespace zelmora::cli
