// The laser form and cover page print jobs: what StampaIntraSuModuloLaser
// and StampaFrontespizioModIntra ask of the report object and what the
// BeforePrintReport handler binds and sets, compared whole with golden
// print jobs, and the choices of template, formula and quarter flags.
#include <gtest/gtest.h>

#include <string>

#include "cli/host_harness.h"
#include "cli/json_values.h"
#include "facade/clsin_intrabo.h"
#include "support/database.h"
#include "forms/form_procedures.h"
#include "support/golden.h"
#include "support/may_sales.h"
#include "support/file_bytes.h"

namespace zelmora {
namespace {

using cli::Json;
using testing::TempDatabase;

class FixedFolder : public DefaultHostServices {
 public:
  std::string ComponentFolder() override { return "/opt/zelmora"; }
};

class LaserPrintTest : public ::testing::Test {
 protected:
  // A movement of company 1 registered on `day` (YYYYMMDD).
  void Add(int kind, int operation, const std::string& code, const std::string& amount, const std::string& day,
           int partnerKind = 0, int partner = 10) {
    db_.Add(testing::DayMovement(++registration_, kind, operation, code, amount, day, partnerKind, partner));
  }

  // Runs the host script forms/scripts/`name` on the database.
  Json Run(const std::string& name) {
    std::string script = testing::TestFile("forms/scripts/" + name);
    script.replace(script.find("@CS@"), 4, db_.ConnectionString());
    cli::HarnessResult result = cli::RunHostScript(script, std::make_shared<FixedFolder>());
    EXPECT_EQ(result.exitCode, 0) << result.error;
    return Json::parse(result.output);
  }

  TempDatabase db_{
      "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDLOCALIZZAZIONE) VALUES (1, 'Declarant', 0);"
      "INSERT INTO CG07_TABSTATIEST VALUES (1, 'FR', 'Francia', 1), (4, 'DE', 'Germania', 1);"
      "INSERT INTO CG16_ANAGGEN VALUES (100, 'Müller GmbH', 'DE111', 4), (101, 'Dupont SA', 'FR222', 1);"
      "INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 1, 11, 101);"};
  int registration_ = 0;
};

// A monthly sales declaration's goods section: the page rows of the
// section with their carried totals, both line recordsets bound, the
// declarant's data, counters and totals of every section.
TEST_F(LaserPrintTest, MonthlySalesGoodsSectionIsTheGoldenPrintJob) {
  Add(1, 0, "84821090", "1250.40", "20240510");
  Add(1, 0, "73181500", "800", "20240512");
  Add(1, 1, "620100", "4999.5", "20240513");
  Add(2, 0, "84821090", "-120", "20240514");
  const Json out = Run("sales_bis.json");
  EXPECT_EQ(out["steps"], Json::parse(R"([{"call": "StampaIntraSuModuloLaser", "Stato": 7,
                                          "Errore": {"empty": true}, "result": null}])"));
  EXPECT_EQ(out["object"]["NumRecStpModIntra"], Json(1));
  testing::ExpectGoldenFile("forms/golden/laser_sales_bis.json", out["print_jobs"].dump(1) + "\n");
}

// A quarterly purchases declaration's services section after a change of
// periodicity in May: the services recordset bound in the goods place, the
// quarter flags, and the input left with the quarter.
TEST_F(LaserPrintTest, QuarterlyPurchasesServicesSectionIsTheGoldenPrintJob) {
  Add(3, 0, "84821090", "300", "20240410", 1, 11);
  Add(3, 1, "620100", "1234567.6", "20240515", 1, 11);
  Add(3, 1, "620200", "10", "20240610", 1, 11);
  const Json out = Run("purchases_quater.json");
  EXPECT_EQ(out["steps"][0]["Stato"], Json(0));
  EXPECT_EQ(out["CInput"]["TipoIntra"], Json(2));
  EXPECT_EQ(out["CInput"]["PeriodoStampa"], Json(6));
  testing::ExpectGoldenFile("forms/golden/laser_purchases_quater.json", out["print_jobs"].dump(1) + "\n");
}

// The cover page of both lists: one page row, one placeholder line seen
// through both line properties, the first-page template.
TEST_F(LaserPrintTest, CoverPagesAreTheGoldenPrintJobs) {
  const Json sales = Run("cover_sales.json");
  const Json purchases = Run("cover_purchases.json");
  EXPECT_EQ(sales["steps"][0]["Stato"], Json(0));
  EXPECT_EQ(sales["COutput"]["RecordsetIntraAcqCess"], sales["COutput"]["RecordsetIntraRettifiche"]);
  testing::ExpectGoldenFile("forms/golden/cover_pages.json",
                            sales["print_jobs"].dump(1) + "\n" + purchases["print_jobs"].dump(1) + "\n");
}

// Template, title and kind of every list and section, in both form
// generations; a combination without a template still prints, with the
// formulas and the section label.
TEST_F(LaserPrintTest, EachSectionHasItsTemplateAndLabel) {
  // A line of each kind, goods and services, sales to customer 10 and
  // purchases from supplier 11.
  for (int purchases = 0; purchases <= 1; ++purchases) {
    for (int operation = 0; operation <= 1; ++operation) {
      for (int kind = 1 + 2 * purchases; kind <= 2 + 2 * purchases; ++kind) {
        Add(kind, operation, operation ? "620100" : "84821090", "100", "20240510", purchases, 10 + purchases);
      }
    }
  }
  // The sections are printed in order on one object, as a host prints a
  // declaration: a section without lines prints the page rows held.
  std::string actual;
  for (int from2010 = 1; from2010 >= 0; --from2010) {
    for (int list = 0; list <= 1; ++list) {
      auto services = std::make_shared<FixedFolder>();
      CLSIN_INTRABO object(services);
      auto in = testing::MaySales(object, db_.ConnectionString());
      in->TipoStampa = Variant::Integer(static_cast<int16_t>(list));
      if (!from2010) in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010;
      in->RhwndParent = Variant::Long(1);
      for (int section = 1; section <= 5; ++section) {
        in->PagineModLas = Variant::Integer(static_cast<int16_t>(section));
        const size_t before = services->PrintJobs().size();
        object.StampaIntraSuModuloLaser();
        actual += std::to_string(from2010) + " " + std::to_string(list) + " " + std::to_string(section) + ":";
        for (size_t i = before; i < services->PrintJobs().size(); ++i) {
          const PrintJob& job = *services->PrintJobs()[i];
          for (const PrintJob::Call& call : job.calls) {
            if (call.name == "Prepare") {
              actual += " " + call.args[1].Text() + " '" + call.args[0].Text() + "' " + call.args[4].Text();
            }
          }
          for (const auto& [name, text] : job.formulas) actual += " " + name + "=" + text;
          actual += " pages " + std::to_string(job.recordset ? job.recordset->RecordCount() : -1);
        }
        actual += " (" + std::to_string(object.context().Stato) + ")\n";
      }
    }
  }
  testing::ExpectGoldenFile("forms/golden/laser_templates.txt", actual);
}

// The failures of the print: nothing to print, an empty window handle, a
// second print releasing the first report, and the handler's own quarter
// flags and month by the periodicity it was left.
TEST_F(LaserPrintTest, FailuresAndTheReportKeptBetweenPrints) {
  auto services = std::make_shared<FixedFolder>();
  CLSIN_INTRABO object(services);
  auto in = testing::MaySales(object, db_.ConnectionString());
  in->PagineModLas = Variant::Integer(2);

  // No line and no page rows held: nothing to print.
  object.StampaIntraSuModuloLaser();
  EXPECT_EQ(object.context().Stato, 1);
  EXPECT_EQ(object.Errore().Text(), "Non ci sono record");
  EXPECT_TRUE(services->PrintJobs().empty());

  // A window handle that does not convert: status 99, the error text kept.
  Add(1, 0, "84821090", "100", "20240510");
  in->RhwndParent = Variant::String("");
  object.SetErrore(Variant::String("earlier"));
  object.StampaIntraSuModuloLaser();
  EXPECT_EQ(object.context().Stato, 99);
  EXPECT_EQ(object.Errore().Text(), "earlier");
  ASSERT_EQ(services->PrintJobs().size(), 1u);
  EXPECT_FALSE(services->PrintJobs()[0]->printed);
  EXPECT_FALSE(services->PrintJobs()[0]->released);

  // The next print releases the report the failed one kept; with a change
  // of periodicity in May the handler prints the second quarter.
  in->RhwndParent = Variant::Long(3);
  in->CambioPeriodicita = true;
  object.StampaIntraSuModuloLaser();
  ASSERT_EQ(services->PrintJobs().size(), 2u);
  EXPECT_TRUE(services->PrintJobs()[0]->released);
  const PrintJob& job = *services->PrintJobs()[1];
  EXPECT_TRUE(job.printed);
  EXPECT_TRUE(job.released);
  EXPECT_EQ(object.context().PclsRepLas, nullptr);
  std::string flags;
  for (const auto& [name, value] : job.parameters) {
    if (name == "mese" || name.rfind("Rif_", 0) == 0 || name == "TipoIntra") flags += name + "=" + value.Text() + " ";
  }
  EXPECT_EQ(flags,
            "mese=2 TipoIntra=2 Rif_SoloPrimoMeseTrimestre=0 Rif_PrimoSecondoMeseTrimestre=1 "
            "Rif_TrimestreCompleto=0 ");
  EXPECT_TRUE(in->PeriodoStampa == Variant::Integer(6));
  EXPECT_EQ(job.formulas.at(1).first + "=" + job.formulas.at(1).second, "RIFMESE=5");

  // A quarter of periodicity 2 is named by its number.
  in->CambioPeriodicita = false;
  object.StampaIntraSuModuloLaser();
  EXPECT_EQ(services->PrintJobs()[2]->formulas.at(1).second, "Trimetre: 2");
}

TEST(FormatWholeAmount, GroupsThousandsAndRoundsHalfAwayFromZero) {
  const std::pair<Variant, const char*> cases[] = {
      {Variant::String("0"), "0"},
      {Variant::Dec(*Decimal::Parse("999")), "999"},
      {Variant::Dec(*Decimal::Parse("1000")), "1.000"},
      {Variant::Dec(*Decimal::Parse("1234567.5")), "1.234.568"},
      {Variant::Dec(*Decimal::Parse("-1234.5")), "-1.235"},
      {Variant::Dec(*Decimal::Parse("-0.4")), "0"},
      {Variant::Long(123456789), "123.456.789"},
      {Variant::String("2500000000000"), "2.500.000.000.000"},
  };
  for (const auto& [amount, expected] : cases) EXPECT_EQ(forms::FormatWholeAmount(amount), expected) << amount.Text();
}

}  // namespace
}  // namespace zelmora
