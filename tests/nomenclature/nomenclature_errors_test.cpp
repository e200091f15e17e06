// The nomenclature check: its text compared whole against the declaration
// statement it is derived from, and what it finds when run on SQLite over
// hand-made lines and code tables across a year boundary.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "cli/active_interface.h"
#include "facade/clsin_intrabo.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "nomenclature/nomenclature_procedures.h"
#include "platform/recordset.h"
#include "support/golden.h"
#include "support/may_sales.h"
#include "support/recordset_text.h"

namespace zelmora {
namespace {

using testing::ExpectGoldenSection;
const char kGolden[] = "nomenclature/golden/check_statements.sql";
using testing::TempDatabase;

TEST(NomenclatureCheckText, DerivedFromTheDeclarationStatement) {
  CLSIN_INTRABO object;
  auto in = testing::StatementInput();
  in->MaxProgrDatiInvio = 40;
  object.SetCInput(in);
  object.SetActiveInterface(cli::ActiveInterface(Variant::Null()));
  object.COutput()->StringaSQLErroriNomenclatura = Variant::String("previous");

  nomenclature::DefinisciStringaPerErroriNomenclatureSuModulo(object.context());
  EXPECT_EQ(object.Stato(), Variant::Integer(0));
  // The monthly sales declaration split again by reason, registration and
  // dates, inside the check.
  ExpectGoldenSection(kGolden, "check of the monthly sales", object.COutput()->StringaSQLErroriNomenclatura.Text());

  // A statement without ORDER BY is used whole; the multi-activity
  // company column gains the reason and registration after it.
  ExpectGoldenSection(kGolden, "check of a statement without ORDER BY",
                      nomenclature::ErrorCheckStatement("SELECT 7 AS IN01_DITTA_CG18, X FROM T GROUP BY X", 0));
}

TEST(NomenclatureCheck, CodesValidForTheirReferenceYear) {
  TempDatabase db(testing::TestFile("nomenclature/codes_rows.sql") +
                  testing::TestFile("nomenclature/codes_movements.sql"));
  CLSIN_INTRABO object;
  testing::MaySales(object, db.ConnectionString())->MaxProgrDatiInvio = 40;

  std::vector<Variant> none;
  const Variant result = object.Invoke("GeneraRstErroriNomenclatura", none);
  EXPECT_EQ(object.Stato(), Variant::Integer(0)) << object.Errore().Text();
  auto rs = std::dynamic_pointer_cast<Recordset>(result.AsObject());
  ASSERT_NE(rs, nullptr);
  // Keys from 41 in declaration order: goods (AT 73181595, DE 73181595,
  // DE 84821090, FR '', FR 73181595, FR 99999999), then services (DE
  // 620100, DE 84821090).
  // (The check has no order of its own: the rows are sorted by FAKEID.)
  ExpectGoldenSection("nomenclature/golden/check_rows.txt", "codes valid for their reference year",
                      testing::SortedRows(testing::RecordsetText(*rs)));
}

// Codes valid, invalid and changed across year boundaries. Goods lists of
// 2022 to 2024 (none yet for 2025), one code replaced in 2024 and one
// withdrawn; services codes of 2022 only. Every line is of May 2024; its
// reference year moves it to another year's list.
TEST(NomenclatureCheck, CaseTableAcrossYears) {
  TempDatabase db(testing::TestFile("nomenclature/codes_rows.sql"));
  db.Run(
      "DELETE FROM CG72_NOMENCLATURE; DELETE FROM CG7S_NOMENCLATUREVARIATE;"
      "INSERT INTO CG72_NOMENCLATURE (CG72_ANNO, CG72_INDTIPO, CG72_CODICE) VALUES "
      "(2022, 0, '11111111'), (2022, 0, '22222222'), (2023, 0, '11111111'), (2023, 0, '22222222'), "
      "(2023, 0, '33333333'), (2024, 0, '11111111'), (2024, 0, '22222229'), (2022, 1, '111111');"
      "INSERT INTO CG7S_NOMENCLATUREVARIATE VALUES ('22222222', '22222229'), ('33333333', '');");
  struct Case {
    int operation;
    std::string code;
    std::string referenceYear;
    std::string error;  // "" when valid, else SOSTITUITO|NOMENCLATURA_ANNORIF
  } cases[] = {
      {0, "11111111", "NULL", ""},
      {0, "22222222", "NULL", "1|2024"},  // replaced at the turn of 2024
      {0, "22222222", "2023", ""},        // still valid for 2023
      {0, "22222229", "2023", "0|2023"},  // its replacement, used too early
      {0, "33333333", "2023", ""},
      {0, "33333333", "NULL", "0|2024"},  // withdrawn without a replacement
      {0, "11111111", "2025", ""},        // no list for 2025 yet: 2024's applies
      {0, "22222229", "2025", ""},
      {0, "22222222", "2025", "1|2025"},
      {0, "11111111", "2021", "0|2021"},  // no list that early at all
      {1, "111111", "NULL", ""},          // 2023 has no services list either: 2022's applies
      {1, "999999", "NULL", "0|2024"},
      {1, "11111111", "NULL", "0|2024"},  // a goods code on a services line
  };
  std::string expected;
  int registration = 0;
  for (const Case& c : cases) {
    ++registration;
    db.Add({.registration = registration, .operation = c.operation, .code = "'" + c.code + "'", .amount = "10",
            .currencyAmount = "10", .referenceYear = c.referenceYear});
    if (!c.error.empty()) expected += std::to_string(registration) + "|" + c.code + "|" + c.error + "\n";
  }

  CLSIN_INTRABO object;
  testing::MaySales(object, db.ConnectionString());
  std::vector<Variant> none;
  auto rs = std::dynamic_pointer_cast<Recordset>(object.Invoke("GeneraRstErroriNomenclatura", none).AsObject());
  EXPECT_EQ(object.Stato(), Variant::Integer(0)) << object.Errore().Text();
  ASSERT_NE(rs, nullptr);
  std::vector<std::pair<int, std::string>> found;
  for (const Row* row : rs->VisibleRows()) {
    auto text = [&](const char* name) { return (*row)[*rs->FieldIndex(name)].Text(); };
    found.emplace_back(std::stoi(text("IN01_NUMREG_CG41")), text("IN01_NUMREG_CG41") + "|" +
                                                                text("IN02_NOMENCLATURA") + "|" + text("SOSTITUITO") +
                                                                "|" + text("NOMENCLATURA_ANNORIF") + "\n");
  }
  std::sort(found.begin(), found.end());
  std::string actual;
  for (const auto& row : found) actual += row.second;
  EXPECT_SAME_TEXT(expected, actual);
}

TEST(NomenclatureCheck, MissingCompanyOrConnection) {
  CLSIN_INTRABO object;
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=/nonexistent/host.db");
  object.SetCInput(in);
  std::vector<Variant> none;
  EXPECT_EQ(object.Invoke("GeneraRstErroriNomenclatura", none).AsObject(), nullptr);
  EXPECT_EQ(object.Stato(), Variant::Integer(1));

  // A connection that cannot be opened: the failure ends as Stato and
  // Errore under the operation's name, and nothing is returned.
  in->Ditta = Variant::Integer(1);
  EXPECT_EQ(object.Invoke("GeneraRstErroriNomenclatura", none).AsObject(), nullptr);
  EXPECT_NE(object.Stato(), Variant::Integer(0));
  EXPECT_TRUE(object.Errore().Text().ends_with(" in GeneraRstErroriNomenclatura")) << object.Errore().Text();
}

}  // namespace
}  // namespace zelmora
