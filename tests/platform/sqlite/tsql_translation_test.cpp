// The SQLite text that representative T-SQL statements become, compared
// whole: qualified columns, the collation where text is compared, the
// conversions of literals, the rewritten APPLY, UPDATE ... FROM, SELECT INTO.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/sqlite/sqlite_backend.h"
#include "platform/sqlite/sqlite_extensions.h"
#include "platform/sqlite/tsql_parser.h"
#include "platform/sqlite/tsql_translator.h"
#include "support/construct_file.h"
#include "support/data_blocks.h"
#include "support/golden.h"

namespace zelmora {
namespace {

// The catalog of an in-memory database holding the test tables and a
// session table #STAGE.
class MemoryCatalog : public tsql::Catalog {
 public:
  MemoryCatalog() : db_(Open()), catalog_(db_) {}
  ~MemoryCatalog() override { sqlite3_close(db_); }
  std::optional<std::vector<tsql::ColumnInfo>> Columns(const std::string& name, bool temporary) override {
    return catalog_.Columns(name, temporary);
  }

 private:
  static sqlite3* Open() {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    RegisterTsqlExtensions(db);
    sqlite3_exec(db, testing::ReadConstructFile().setup.c_str(), nullptr, nullptr, nullptr);
    sqlite3_exec(db,
                 "CREATE TEMP TABLE \"#STAGE\" (L_CODICE VARCHAR(8) COLLATE TSQL, IMPORTO DECIMAL(38,2), ERRORE INT)",
                 nullptr, nullptr, nullptr);
    return db;
  }
  sqlite3* db_;
  SqliteCatalog catalog_;
};

// Every statement of the batch, one SQLite statement a line; an IF as its
// condition query.
std::string Translated(const std::string& batch) {
  MemoryCatalog catalog;
  std::string out;
  for (tsql::StatementPtr& s : tsql::ParseBatch(batch)) {
    if (s->kind == tsql::Statement::Kind::If) {
      out += "IF " + tsql::TranslateCondition(*s->condition, catalog) + "\n";
      continue;
    }
    for (const std::string& step : tsql::Translate(*s, catalog).steps) out += step + "\n";
  }
  return out;
}

// Each batch of platform/sqlite/translations.txt becomes its golden text.
TEST(TsqlTranslation, BatchesBecomeTheirGoldenSqliteText) {
  EXPECT_EQ(testing::ConstructSql("delete_lines"), "DELETE LINES WHERE L_DITTA = 1 AND L_NUMREG = '10'");
  for (const testing::DataBlock& block : testing::ReadBlocks("platform/sqlite/translations.txt")) {
    std::string batch;
    for (size_t i = 1; i < block.lines.size(); ++i) {
      const std::string& line = block.lines[i];
      batch += (i > 1 ? "\n" : "") + (line.starts_with("<< ") ? testing::ConstructSql(line.substr(3)) : line);
    }
    testing::ExpectGoldenFile("platform/sqlite/golden/" + block.lines[0], Translated(batch));
  }
}

}  // namespace
}  // namespace zelmora
