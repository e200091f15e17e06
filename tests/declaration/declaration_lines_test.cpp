// What the declaration statement means: it is run on SQLite over
// hand-made movements and the whole result table is compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/declaration_procedures.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "platform/recordset.h"
#include "support/golden.h"
#include "support/may_sales.h"
#include "support/value_text.h"

namespace zelmora {
namespace {

using testing::TempDatabase;

// The movements of declaration/declaration_rows.sql, whose comments say
// what each is there for.
const char kRows[] = "declaration/declaration_rows.sql";

std::string ValueText(const FieldInfo& field, const Variant& value) {
  if (value.IsNull()) return "NULL";
  if (value.type() == VarType::Decimal) return value.AsDecimal().ToFixed(field.numericScale);
  if (value.type() == VarType::Date) return value.AsDate().ToIso();
  return value.Text();
}

// The table as text: the column names, then one line per row. Rows that
// tie on every ORDER BY key come in no defined order, so they are sorted.
std::string Table(const Recordset& rs) {
  std::string header;
  for (size_t i = 0; i < rs.FieldCount(); ++i) header += (i ? "|" : "") + rs.Field(i).name;
  std::vector<std::pair<std::string, std::string>> rows;  // order keys, row text
  for (const Row* row : rs.VisibleRows()) {
    std::string keys;
    for (const char* key : {"IN02_INDOPER", "IN01_INDTIPODOC", "CG07_INDTIPOSTATO", "CG07_CODISOCF", "CG16_PARTIVA",
                            "IN02_NOMENCLATURA"}) {
      const size_t index = *rs.FieldIndex(key);
      keys += ValueText(rs.Field(index), (*row)[index]) + "|";
    }
    std::string text;
    for (size_t i = 0; i < rs.FieldCount(); ++i) text += (i ? "|" : "") + ValueText(rs.Field(i), (*row)[i]);
    rows.emplace_back(keys, text);
  }
  for (size_t start = 0; start < rows.size();) {
    size_t end = start + 1;
    while (end < rows.size() && rows[end].first == rows[start].first) ++end;
    std::sort(rows.begin() + static_cast<long>(start), rows.begin() + static_cast<long>(end));
    start = end;
  }
  std::string table = header + "\n";
  for (const auto& row : rows) table += row.second + "\n";
  return table;
}

struct Lines {
  std::string published;  // the table of COutput.StringaSQLperStampaIntra
  std::string complete;   // the table of StringaSQLModuloCompleta
};

// The declaration lines of company 1 for May 2024 (monthly sales after
// 2010), with the changes `set` makes to the input.
Lines DeclarationLines(TempDatabase& db, const std::function<void(CLSIN_INPUTINTRA&)>& set) {
  CLSIN_INTRABO object;
  set(*testing::MaySales(object, db.ConnectionString()));
  IntraContext& context = object.context();
  Lines lines;
  if (!ApriOperazioneDatabase(context, true)) {
    ADD_FAILURE() << "cannot open the database";
    return lines;
  }
  declaration::BuildDeclarationStatement(context);
  EXPECT_EQ(context.Stato, 0) << context.Errore.Text();
  try {
    lines.published = Table(*context.connection().Execute(object.COutput()->StringaSQLperStampaIntra.Text()));
    lines.complete = Table(*context.connection().Execute(context.StringaSQLModuloCompleta));
  } catch (const Error& e) {
    ADD_FAILURE() << e.number() << " " << e.description();
  }
  return lines;
}

class DeclarationLinesTest : public ::testing::Test {
 protected:
  TempDatabase db_{testing::TestFile(kRows)};
};

// The tables under golden/, one file each.
void ExpectLines(const std::string& name, const std::string& table) {
  testing::ExpectGoldenFile("declaration/golden/lines_" + name + ".txt", table);
}

TEST_F(DeclarationLinesTest, MonthlySalesAndTheCompleteStatement) {
  // The complete statement also gives the reference year of the
  // nomenclature: the line's own, or its competence date's (none for the
  // lines dated by their registration).
  ExpectLines("monthly_sales_complete", DeclarationLines(db_, [](CLSIN_INPUTINTRA&) {}).complete);
}

// Each change of input of declaration/lines_cases.txt and the lines it gives.
TEST_F(DeclarationLinesTest, PeriodListAndOperationRules) {
  for (const testing::InputCase& c : testing::ReadInputCases("declaration/lines_cases.txt")) {
    SCOPED_TRACE(c.name);
    ExpectLines(c.section, DeclarationLines(db_, [&](CLSIN_INPUTINTRA& in) {
                             for (const auto& [property, value] : c.set) in.SetMember(property, value);
                           }).published);
  }
}

// A change of periodicity in the third quarter: July starts it and does
// not widen; August widens the lines with a partner to July (22 + 44),
// never to June.
TEST(DeclarationLinesThirdQuarter, AChangedPeriodicityWidensToTheQuartersStart) {
  TempDatabase db(testing::TestFile(kRows));
  int registration = 40;
  for (const char* day : {"'20240615'", "'20240715'", "'20240815'"}) {
    const std::string amount = std::to_string(11 << (registration - 40));
    db.Add({.registration = ++registration, .competence = day, .registered = day, .amount = amount,
            .currencyAmount = amount, .statisticalValue = amount});
  }
  auto period = [&](int month, bool changed) {
    return DeclarationLines(db, [&](CLSIN_INPUTINTRA& in) {
             in.PeriodoStampa = Variant::Integer(static_cast<int16_t>(month));
             in.CambioPeriodicita = changed;
           }).published;
  };
  EXPECT_SAME_TEXT(period(7, false), period(7, true));
  ExpectLines("from_july", period(8, true));
}

}  // namespace
}  // namespace zelmora
