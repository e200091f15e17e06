// Fuzzes the T-SQL batches the SQLite backend runs: the input is a command
// text, lexed, parsed, translated and run on a host database holding the
// schema and a small demo company, as a connection would run it. Failures
// of the server's kind (an untranslatable construct, a conversion the
// server refuses, SQLite refusing the text) arrive as Errors and are fine;
// a crash, a sanitizer report, any other exception or a hang is a fault.
// Each input runs on a fresh copy of the database, so inputs that change it
// do not change what the next one finds.
#include <sqlite3.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/recordset.h"
#include "demo/demo_data.h"
#include "platform/sqlite/host_schema.h"
#include "platform/sqlite/sqlite_backend.h"
#include "platform/sqlite/sqlite_extensions.h"

namespace {

std::string folder;
std::string image;  // the template database file's bytes

void Cleanup() {
  std::remove((folder + "/template.db").c_str());
  std::remove((folder + "/work.db").c_str());
  rmdir(folder.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char name[] = "/tmp/zelmora-tsql-fuzz-XXXXXX";
  if (!mkdtemp(name)) std::abort();
  folder = name;
  std::atexit(Cleanup);
  const std::string path = folder + "/template.db";
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) std::abort();
  zelmora::RegisterTsqlExtensions(db);
  zelmora::CreateHostSchema(db);
  zelmora::FillDemoData(db, zelmora::DemoOptions{40, 1});
  sqlite3_close(db);
  std::ifstream in(path, std::ios::binary);
  image.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (image.empty()) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view batch(reinterpret_cast<const char*>(data), size);
  const std::string path = folder + "/work.db";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
  }
  try {
    std::unique_ptr<zelmora::DatabaseBackend> backend = zelmora::OpenSqliteBackend(path);
    // A one-second command timeout stops a query that would run for long.
    zelmora::RecordsetPtr rows = backend->Execute(batch, true, 1);
    if (rows && rows->IsOpen()) (void)rows->VisibleRows().size();
  } catch (const zelmora::Error&) {
  }
  return 0;
}
