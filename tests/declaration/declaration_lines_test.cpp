// What the declaration statement means: it is run on SQLite over
// hand-made movements and the whole result table is compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/active_interface.h"
#include "component/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/declaration_procedures.h"
#include "support/database.h"
#include "platform/recordset.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::TempDatabase;
using testing::Movement;

// Company 1 declares, company 2 is linked to it in 2024, company 3 is not.
// Customers 10 (German registry 100), 11 (French registry 101) and 12 (no
// registry); supplier 20 (Austrian registry 102). May 2024 unless said.
void FillMovements(TempDatabase& db) {
  db.Run(
      "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDLOCALIZZAZIONE) VALUES "
      "(1, 'Declarant', 0), (2, 'Linked', 0), (3, 'Other', 0);"
      "INSERT INTO CG18_DITTECOLLEGATE VALUES (1, 2024, 2);"
      "INSERT INTO CG07_TABSTATIEST VALUES (1, 'FR', 'Francia', 1), (4, 'DE', 'Germania', 1), "
      "(38, 'AT', 'Austria', 1);"
      "INSERT INTO CG16_ANAGGEN VALUES (100, 'Müller GmbH', 'DE111', 4), (101, 'Dupont SA', 'FR222', 1), "
      "(102, 'Gruber KG', 'ATU333', 38);"
      "INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 0, 11, 101), (1, 0, 12, NULL), (1, 1, 20, 102), "
      "(2, 0, 10, 100), (3, 0, 10, 100);");

  // One goods key of customer 10 in two journal sections, with a negative line.
  db.Add({.registration = 1, .amount = "1000.10", .currencyAmount = "1000.10", .mass = "10.5", .units = "2",
          .statisticalValue = "1100"});
  db.Add({.registration = 2, .section = "'B'", .amount = "200.20", .currencyAmount = "200.20", .mass = "1",
          .statisticalValue = "200"});
  db.Add({.registration = 3, .amount = "100", .currencyAmount = "100", .negative = 1, .mass = "1.5", .units = "1",
          .statisticalValue = "300"});
  // A sale and its negative line cancel.
  db.Add({.registration = 4, .partner = 11, .code = "'73181595'", .amount = "500", .currencyAmount = "500",
          .destination = "1", .mass = "5", .statisticalValue = "520"});
  db.Add({.registration = 5, .partner = 11, .code = "'73181595'", .amount = "500", .currencyAmount = "500",
          .negative = 1, .destination = "1", .mass = "5", .statisticalValue = "520"});
  // Statistical-only lines of two customers: one line without a partner.
  db.Add({.registration = 6, .amount = "300", .currencyAmount = "300", .dataKind = 2, .mass = "3",
          .statisticalValue = "310"});
  db.Add({.registration = 7, .partner = 11, .amount = "50", .currencyAmount = "50", .dataKind = 2, .mass = "1",
          .statisticalValue = "55"});
  // A fiscal-only line: its statistical data are not declared.
  db.Add({.registration = 8, .partner = 11, .code = "'39173910'", .amount = "80", .currencyAmount = "80",
          .dataKind = 1, .terms = "2", .destination = "1", .provinceOfOrigin = "'BO'", .mass = "2",
          .statisticalValue = "90"});
  // Nature 10 is never declared.
  db.Add({.registration = 9, .code = "'85176200'", .amount = "123", .nature = "10"});
  // Competence date missing: the VAT date, then the registration date.
  db.Add({.registration = 10, .competence = "NULL", .registered = "'20240430'", .vatRegistered = "'20240515'",
          .code = "'85176200'", .amount = "70", .currencyAmount = "70"});
  db.Add({.registration = 11, .competence = "NULL", .registered = "'20240520'", .code = "'85176200'",
          .amount = "30", .currencyAmount = "30"});
  db.Add({.registration = 12, .competence = "'20240603'", .registered = "'20240529'", .code = "'85176200'",
          .amount = "1000", .currencyAmount = "1000"});
  // April: in branch A only when the period is widened; never in branch B.
  db.Add({.registration = 13, .competence = "'20240415'", .amount = "5000", .currencyAmount = "5000"});
  db.Add({.registration = 14, .competence = "'20240415'", .amount = "7", .currencyAmount = "7", .dataKind = 2});
  // Services with different invoice data.
  db.Add({.registration = 15, .operation = 1, .code = "'620100'", .amount = "400", .currencyAmount = "400",
          .payment = "4", .in03 = "'A'", .in04 = "'B'", .originalNumber = "'71'"});
  db.Add({.registration = 26, .operation = 1, .code = "'620100'", .amount = "600", .currencyAmount = "600",
          .payment = "4", .in03 = "'C'", .in04 = "'B'", .originalNumber = "'88'"});
  // A service correction of February: two corrections up to May (reason 52
  // adds, any other subtracts), a third after the end of May.
  const Movement correction{.registration = 16, .documentKind = 2, .reason = "'52'", .operation = 1,
                            .code = "'620100'", .amount = "100", .currencyAmount = "120",
                            .originalAmount = "1000", .originalCurrencyAmount = "1200", .payment = "4",
                            .referenceMonth = "2", .referenceYear = "2024", .in03 = "'A'", .in04 = "'B'",
                            .originalNumber = "'77'", .originalDate = "'20240210'", .originalSection = "'X'"};
  db.Add(correction);
  Movement earlier = correction;
  earlier.registration = 17;
  earlier.competence = "'20240420'";
  earlier.reason = "'10'";
  earlier.amount = "30";
  earlier.currencyAmount = "36";
  db.Add(earlier);
  Movement later = correction;
  later.registration = 18;
  later.competence = "'20240605'";
  later.reason = "'63'";
  later.amount = "999";
  later.currencyAmount = "999";
  db.Add(later);
  // A goods correction: its statistical value is declared as a magnitude.
  db.Add({.registration = 19, .documentKind = 2, .partner = 11, .code = "'73181595'", .amount = "50",
          .currencyAmount = "50", .negative = 1, .destination = "1", .statisticalValue = "80",
          .referenceMonth = "3", .referenceYear = "2024"});
  // A service correction of a customer without registry matches no row.
  db.Add({.registration = 20, .documentKind = 2, .reason = "'52'", .partner = 12, .operation = 1,
          .code = "'620100'", .amount = "40", .currencyAmount = "40", .originalAmount = "400",
          .originalCurrencyAmount = "400", .referenceMonth = "2", .referenceYear = "2024"});
  // A purchase.
  db.Add({.registration = 25, .documentKind = 3, .partnerKind = 1, .partner = 20, .amount = "700",
          .currencyAmount = "700", .provenance = "38", .origin = "38", .destination = "NULL",
          .provinceOfDestination = "'MO'", .provinceOfOrigin = "NULL", .mass = "7"});

  // The linked company: a sale of company 1's key, one of its own, and a
  // correction of the same service line as company 1's.
  db.Add({.company = 2, .registration = 1, .amount = "50", .currencyAmount = "50", .mass = "0.5",
          .statisticalValue = "60"});
  db.Add({.company = 2, .registration = 2, .code = "'94032080'", .amount = "20", .currencyAmount = "20"});
  Movement linkedCorrection = correction;
  linkedCorrection.company = 2;
  linkedCorrection.registration = 3;
  linkedCorrection.amount = "10";
  linkedCorrection.currencyAmount = "12";
  linkedCorrection.originalAmount = "2000";
  linkedCorrection.originalCurrencyAmount = "2400";
  db.Add(linkedCorrection);
  // A company that is not linked.
  db.Add({.company = 3, .registration = 1, .amount = "9999", .currencyAmount = "9999"});
}

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
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->StringaDiConnessione = Variant::String(db.ConnectionString());
  in->Ditta = Variant::Integer(1);
  in->Anno = Variant::Integer(2024);
  in->PeriodoStampa = Variant::Integer(5);
  in->TipoIntra = Variant::Integer(1);
  in->TipoStampa = Variant::Integer(0);
  in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  set(*in);
  object.SetCInput(in);
  object.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));
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
    db_ = new TempDatabase;
    FillMovements(*db_);
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
  TempDatabase db;
  FillMovements(db);
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
