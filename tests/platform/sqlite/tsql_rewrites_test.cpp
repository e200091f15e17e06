// The translator's rewrites change how SQLite finds the rows, never which
// rows: the statements the program sends (the movement lists and the
// declaration statements over the demo company) and the construct blocks
// of tsql_constructs.txt give the same results with every rewrite, with
// each one left out and with none. Each rewrite also has to change the
// SQLite text of some statement of that corpus, or its switch (and this
// comparison) would prove nothing.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>

#include "declaration/declaration_statement.h"
#include "demo/demo_data.h"
#include "movements/movement_sql.h"
#include "platform/sqlite/sqlite_backend.h"
#include "platform/sqlite/tsql_parser.h"
#include "platform/sqlite/tsql_translator.h"
#include "support/construct_file.h"
#include "support/database.h"
#include "support/error_of.h"
#include "support/recordset_text.h"

namespace zelmora {
namespace {

struct Rewrites {
  const char* name;
  tsql::RewriteOptions options;
};

const Rewrites kAll{"every rewrite", {}};
const Rewrites kVariants[] = {
    {"no range split", {.splitRanges = false}},
    {"no decorrelation", {.decorrelate = false}},
    {"no group key", {.groupKey = false}},
    {"no rewrite", {.splitRanges = false, .decorrelate = false, .groupKey = false}},
};

// Whether the statement ends with an ORDER BY of its own (not one inside
// parentheses): only then does the order of its rows count.
bool Ordered(const std::string& sql) {
  const size_t at = sql.rfind("ORDER BY");
  if (at == std::string::npos) return false;
  return std::count(sql.begin() + static_cast<long>(at), sql.end(), ')') <=
         std::count(sql.begin() + static_cast<long>(at), sql.end(), '(');
}

// The statements the program composes, over the demo company's data.
std::vector<std::string> ProductStatements() {
  std::vector<std::string> out;
  CLSIN_INPUTINTRA march;
  march.Ditta = Variant::Integer(1);
  march.DataRegistrazioneIniziale = Variant::String("20240301");
  march.DataRegistrazioneFinale = Variant::String("20240331");
  out.push_back(movements::MovementListSql(march));
  out.push_back(movements::DocumentBrowseSql(march));
  CLSIN_INPUTINTRA services = march;
  services.OperazioneRif = Variant::Integer(1);
  services.TipoCF = Variant::Integer(0);
  out.push_back(movements::MovementListSql(services));
  for (const bool purchases : {false, true}) {
    declaration::DeclarationSettings s;
    s.company = "1";
    s.periodKind = 1;
    s.year = 2024;
    s.period = 3;
    s.purchases = purchases;
    out.push_back(declaration::ComposeDeclarationStatement(s).complete);
    s.periodKind = 2;
    s.period = 6;
    s.mergeServices = true;
    out.push_back(declaration::ComposeDeclarationStatement(s).published);
  }
  return out;
}

// The SQLite text of every statement of a batch that translates on its own.
std::string Translated(const std::string& batch, tsql::Catalog& catalog, const tsql::RewriteOptions& options) {
  std::string out;
  try {
    for (tsql::StatementPtr& s : tsql::ParseBatch(batch)) {
      if (s->kind == tsql::Statement::Kind::If || s->kind == tsql::Statement::Kind::Block) continue;
      for (const std::string& step : tsql::Translate(*s, catalog, options).steps) out += step + "\n";
    }
  } catch (const Error& e) {
    out += "error " + e.description() + "\n";
  }
  return out;
}

// The result of each statement of the corpus under one set of rewrites:
// its rows (sorted unless it orders them) or its error.
std::map<std::string, std::string> Results(const tsql::RewriteOptions& options, const std::string& demoPath,
                                           const std::vector<std::string>& product,
                                           const testing::ConstructFile& constructs) {
  std::map<std::string, std::string> results;
  auto run = [&](DatabaseBackend& backend, const std::string& sql, bool rows) {
    std::string text;
    const std::string failure = testing::ErrorOf([&] {
      RecordsetPtr rs = backend.Execute(sql, rows, 0);
      if (rows) text = testing::RecordsetText(*rs);
    });
    if (failure != "no error") return failure;
    return Ordered(sql) ? text : testing::SortedRows(text);
  };
  std::unique_ptr<DatabaseBackend> demo = OpenSqliteBackend(demoPath, options);
  for (size_t i = 0; i < product.size(); ++i) {
    results["product statement " + std::to_string(i + 1)] = run(*demo, product[i], true);
  }
  for (const testing::ConstructSection& section : constructs.sections) {
    testing::TempDatabase db(constructs.setup, false);
    std::unique_ptr<DatabaseBackend> backend = OpenSqliteBackend(db.path(), options);
    for (const testing::ConstructBlock& block : section.blocks) {
      results[section.name + ", tsql_constructs.txt line " + std::to_string(block.line)] =
          run(*backend, block.sql, block.kind != "statement");
    }
  }
  return results;
}

TEST(TsqlRewrites, LeaveTheRowsAsTheyAre) {
  testing::TempDatabase demo;
  {
    testing::DbPtr db = testing::OpenDb(demo.path());
    FillDemoData(db.get(), {3000, 9, true});
  }
  const std::vector<std::string> product = ProductStatements();
  const testing::ConstructFile constructs = testing::ReadConstructFile();
  const std::map<std::string, std::string> expected = Results(kAll.options, demo.path(), product, constructs);
  ASSERT_GT(expected.size(), product.size());
  // The program's statements give rows (a header line and at least one row).
  for (size_t i = 0; i < product.size(); ++i) {
    const std::string& rows = expected.at("product statement " + std::to_string(i + 1));
    EXPECT_GE(std::count(rows.begin(), rows.end(), '\n'), 2) << product[i] << "\n" << rows;
  }

  // The SQLite text of each statement, each against its database's tables.
  const testing::DbPtr demoDb = testing::OpenDb(demo.path());
  SqliteCatalog demoCatalog(demoDb.get());
  const testing::TempDatabase setup(constructs.setup, false);
  const testing::DbPtr setupDb = testing::OpenDb(setup.path());
  SqliteCatalog setupCatalog(setupDb.get());
  std::vector<std::pair<std::string, tsql::Catalog*>> batches;
  for (const std::string& sql : product) batches.emplace_back(sql, &demoCatalog);
  for (const testing::ConstructSection& section : constructs.sections) {
    for (const testing::ConstructBlock& block : section.blocks) batches.emplace_back(block.sql, &setupCatalog);
  }
  std::vector<std::string> everything;
  for (const auto& [sql, catalog] : batches) everything.push_back(Translated(sql, *catalog, kAll.options));

  for (const Rewrites& variant : kVariants) {
    SCOPED_TRACE(variant.name);
    const std::map<std::string, std::string> actual = Results(variant.options, demo.path(), product, constructs);
    for (const auto& [statement, result] : expected) EXPECT_EQ(result, actual.at(statement)) << statement;
    size_t changed = 0;
    for (size_t i = 0; i < batches.size(); ++i) {
      changed += Translated(batches[i].first, *batches[i].second, variant.options) != everything[i];
    }
    EXPECT_GT(changed, 0u);
  }
}

}  // namespace
}  // namespace zelmora
