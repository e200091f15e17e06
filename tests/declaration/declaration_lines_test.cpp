// What the declaration statement means: it is run on SQLite over
// hand-made movements and the whole result table is compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/active_interface.h"
#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/declaration_procedures.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "platform/recordset.h"
#include "support/golden.h"
#include "support/may_sales.h"

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
  static void SetUpTestSuite() {
    db_ = new TempDatabase(testing::TestFile(kRows));
  }
  static void TearDownTestSuite() {
    delete db_;
    db_ = nullptr;
  }
  static TempDatabase* db_;
};
TempDatabase* DeclarationLinesTest::db_ = nullptr;

// The tables under golden/, one file each.
void ExpectLines(const std::string& name, const std::string& table) {
  testing::ExpectGoldenFile("declaration/golden/lines_" + name + ".txt", table);
}

// May 2024, sales of company 1 (golden/lines_monthly_sales.txt):
// - statistical-only lines of customers 10 and 11, without a partner: 300 + 50;
// - customer 10's goods over sections A and B less the negative line:
//   1000.10 + 200.20 - 100, statistical value 1100 + 200 - 300, mass
//   10.5 + 1 - 1.5, units 2 - 1;
// - the two lines dated by their VAT and registration dates: 70 + 30;
// - the fiscal-only line with its statistical data blanked;
// - the sale cancelled by its negative line;
// - the goods correction, statistical value -80 shown as 80;
// - the two services with different invoice data;
// - the service correction of a customer without registry: no row matches;
// - the service correction: 1000 - (100 - 30), in currency 1200 - (120 - 36).
TEST_F(DeclarationLinesTest, MonthlySalesAndTheCompleteStatement) {
  Lines lines = DeclarationLines(*db_, [](CLSIN_INPUTINTRA&) {});
  ExpectLines("monthly_sales", lines.published);
  // The complete statement also gives the reference year of the
  // nomenclature: the line's own, or its competence date's (none for the
  // lines dated by their registration).
  ExpectLines("monthly_sales_complete", lines.complete);
}

TEST_F(DeclarationLinesTest, PeriodRules) {
  // CambioPeriodicita widens the lines with a partner, and their amounts, to
  // April; the statistical-only lines stay in May.
  ExpectLines("from_april", DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) { in.CambioPeriodicita = true; }).published);
  // April starts a quarter: nothing widens.
  EXPECT_SAME_TEXT(DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) { in.PeriodoStampa = Variant::Integer(4); }).published,
                   DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) {
                     in.PeriodoStampa = Variant::Integer(4);
                     in.CambioPeriodicita = true;
                   }).published);

  // The second quarter, without statistical data: April's and June's
  // movements count, and so does the correction of June in the corrected
  // value: 1000 - (100 - 30 + 999), in currency 1200 - (120 - 36 + 999).
  const std::string quarter = DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) {
                                in.TipoIntra = Variant::Integer(2);
                                in.PeriodoStampa = Variant::Integer(6);
                              }).published;
  ExpectLines("second_quarter", quarter);
  // The same year declared annually.
  EXPECT_SAME_TEXT(quarter, DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) { in.TipoIntra = Variant::Integer(3); }).published);
  // A quarterly declaration in a month that does not end a quarter has no lines.
  ExpectLines("none", DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) { in.TipoIntra = Variant::Integer(2); }).published);
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

TEST_F(DeclarationLinesTest, ListsAndOperationKinds) {
  ExpectLines("purchases", DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) { in.TipoStampa = Variant::Integer(1); }).published);
  // Before 2010 only goods were declared, whatever the operation filter says.
  ExpectLines("goods", DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) {
                in.AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010;
                in.OperazioneRif = Variant::Integer(1);
              }).published);
  ExpectLines("goods", DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Variant::Integer(0); }).published);
  ExpectLines("services", DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Variant::String("1"); }).published);
  ExpectLines("monthly_sales", DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Variant::Integer(9); }).published);
}

TEST_F(DeclarationLinesTest, AccorpaArt23MergesServicesWhateverTheirInvoiceData) {
  // The amounts come from correlated sub-queries on the line's keys: the two
  // services become one line; the correction of a customer without registry
  // finds no movement of its own (a Null key equals nothing) and sums to 0.
  ExpectLines("merged_services", DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) { in.AccorpaArt23 = true; }).published);
}

TEST_F(DeclarationLinesTest, LinkedCompaniesAreDeclaredUnderTheDeclaringCompany) {
  // Company 2's sale joins company 1's line; its own sale gets a line under
  // company 1; its correction is matched against its own rows only:
  // max(1000 - (100 - 30), 2000 - 10), in currency max(1116, 2400 - 12).
  ExpectLines("linked_companies",
              DeclarationLines(*db_, [](CLSIN_INPUTINTRA& in) { in.CheckPiuAttivita = Variant::Integer(1); }).published);
}

}  // namespace
}  // namespace zelmora
