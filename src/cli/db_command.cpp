// zelmora db init PATH: a new SQLite file with the host schema and no data.
// zelmora db demo PATH [--movements N] [--seed S]: the same, filled with the
// demonstration company.
// zelmora db upgrade PATH: adds zelmora's own tables (column B of the nature,
// call-off stock) to an existing host database that lacks them.
// init and demo refuse a PATH that exists, and builds the file under PATH.tmp,
// moving it to PATH only once complete, so a failure leaves no file behind.
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "platform/error.h"
#include "platform/sqlite/demo_data.h"
#include "platform/sqlite/extension_schema.h"
#include "platform/sqlite/host_schema.h"
#include "platform/sqlite/sqlite_extensions.h"

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

void RemoveScratch(const std::string& scratch) {
  std::error_code ec;
  fs::remove(scratch, ec);
  fs::remove(scratch + "-journal", ec);
}

// Creates PATH with the host schema, lets `fill` add to it, and moves the
// finished file into place without replacing a file that appeared meanwhile.
void BuildDatabase(const std::string& path, const std::function<void(sqlite3*)>& fill) {
  if (PathTaken(path)) throw Error(58, path + " already exists");
  const std::string scratch = path + ".tmp";
  RemoveScratch(scratch);
  try {
    Database db(scratch);
    const int rc = RegisterTsqlExtensions(db.get());
    if (rc != SQLITE_OK) db.Fail(rc, "cannot register the TSQL collation and functions");
    CreateHostSchema(db.get());
    if (fill) fill(db.get());
    db.Close();
    // A hard link refuses an existing target, where a rename would replace it.
    if (::link(scratch.c_str(), path.c_str()) == 0) {
      RemoveScratch(scratch);
    } else if (errno == EEXIST) {
      throw Error(58, path + " already exists");
    } else {
      if (PathTaken(path)) throw Error(58, path + " already exists");
      fs::rename(scratch, path);
    }
  } catch (...) {
    RemoveScratch(scratch);
    throw;
  }
}

// Runs one command body: a failure becomes one line on standard error and
// exit status 1.
void RunReporting(const char* command, int& exitCode, const std::function<void()>& body) {
  try {
    body();
    exitCode = 0;
  } catch (const std::exception& e) {
    std::cerr << "zelmora db " << command << ": " << e.what() << "\n";
    exitCode = 1;
  }
}

}  // namespace

void AddDbCommand(CLI::App& app, int& exitCode) {
  auto* db = app.add_subcommand("db", "Create a host database in SQLite");
  db->require_subcommand(1);

  auto* init = db->add_subcommand("init", "Create an empty host database at PATH");
  auto initPath = std::make_shared<std::string>();
  init->add_option("PATH", *initPath, "the database file to create; it must not exist")->required();
  init->callback([initPath, &exitCode] {
    RunReporting("init", exitCode, [&] {
      BuildDatabase(*initPath, nullptr);
      std::cout << "Created " << *initPath << " with the host schema and no data\n";
    });
  });

  auto* upgrade = db->add_subcommand(
      "upgrade", "Add zelmora's own tables (nature column B, call-off stock) to an existing database at PATH");
  auto upgradePath = std::make_shared<std::string>();
  upgrade->add_option("PATH", *upgradePath, "the host database file; it must exist")->required();
  upgrade->callback([upgradePath, &exitCode] {
    RunReporting("upgrade", exitCode, [&] {
      std::error_code ec;
      if (!fs::is_regular_file(*upgradePath, ec)) throw Error(53, "no database file at " + *upgradePath);
      sqlite3* handle = nullptr;
      const int rc = sqlite3_open_v2(upgradePath->c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
      std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(handle, sqlite3_close);
      if (rc != SQLITE_OK) {
        throw Error(rc & 0xff, "cannot open " + *upgradePath + ": " + (handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc)));
      }
      const bool added = UpgradeExtensionSchema(handle);
      std::cout << (added ? "Added zelmora's tables ZL01_NATURAB and ZL02_CALLOFFSTOCK to "
                          : "Nothing to add: zelmora's tables are already in ")
                << *upgradePath << "\n";
    });
  });

  auto* demo = db->add_subcommand("demo", "Create a host database at PATH filled with a demonstration company");
  auto demoPath = std::make_shared<std::string>();
  auto options = std::make_shared<DemoOptions>();
  demo->add_option("PATH", *demoPath, "the database file to create; it must not exist")->required();
  demo->add_option("--movements", options->movements, "number of Intrastat lines to generate")
      ->check(CLI::NonNegativeNumber)
      ->capture_default_str();
  demo->add_option("--seed", options->seed, "seed of the generator: the same seed gives the same data")
      ->capture_default_str();
  demo->callback([demoPath, options, &exitCode] {
    RunReporting("demo", exitCode, [&] {
      DemoSummary summary;
      BuildDatabase(*demoPath, [&](sqlite3* handle) { summary = FillDemoData(handle, *options); });
      std::cout << "Created " << *demoPath << ": " << summary.companies << " companies, " << summary.parties
                << " customers and suppliers, " << summary.documents << " documents, " << summary.lines
                << " Intrastat lines, " << summary.firstYear << "-" << summary.lastYear << " (seed " << options->seed
                << ")\n";
    });
  });
}

}  // namespace zelmora::cli
