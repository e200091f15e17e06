// The form data on SQLite: the staged declaration lines of one list, or
// only the lines whose code is not valid for its reference year, and the
// same for both lists of a telematic submission.
#include <gtest/gtest.h>

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

using testing::TempDatabase;

// A purchase from the Austrian supplier.
testing::Movement Purchase(int registration, const std::string& code) {
  return {.registration = registration, .documentKind = 3, .partnerKind = 1, .partner = 20, .code = code,
          .amount = "700", .currencyAmount = "700", .provenance = "38", .origin = "38", .destination = "NULL",
          .provinceOfDestination = "'MO'", .provinceOfOrigin = "NULL"};
}

std::shared_ptr<CLSIN_INPUTINTRA> Input(const TempDatabase& db, int16_t list) {
  auto in = testing::MaySales(db.ConnectionString());
  in->TipoStampa = Variant::Integer(list);
  return in;
}

// The recordset, whole, is the golden section `name`.
void ExpectData(const std::string& name, const RecordsetPtr& rs) {
  ASSERT_NE(rs, nullptr);
  testing::ExpectGoldenSection("nomenclature/golden/form_data.txt", name, testing::RecordsetText(*rs));
}

RecordsetPtr Call(CLSIN_INTRABO& object, const char* operation) {
  std::vector<Variant> none;
  return std::dynamic_pointer_cast<Recordset>(object.Invoke(operation, none).AsObject());
}

// The recordset of an operation that must succeed.
RecordsetPtr Succeeds(CLSIN_INTRABO& object, const char* operation) {
  RecordsetPtr rs = Call(object, operation);
  EXPECT_EQ(object.Stato(), Variant::Integer(0)) << object.Errore().Text();
  return rs;
}

TEST(FormData, TheWholeFormOrOnlyTheLinesWithAnInvalidCode) {
  TempDatabase db(testing::TestFile("nomenclature/form_data_rows.sql"));
  CLSIN_INTRABO object;
  auto in = Input(db, 0);
  in->MaxProgrDatiInvio = 40;
  // Service lines merged: a line takes the invoice data carried over when
  // all its movements share them.
  in->AccorpaArt23 = true;
  in->RaggIn02CodiceIn03 = "A1";
  in->RaggIn02CodiceIn04 = "B";
  in->RaggIn02NumDocOrig = "F7";
  in->RaggIn02DataDocOrig = Variant::FromDate(*Date::FromYMD(2024, 5, 2));
  object.SetCInput(in);
  object.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));

  // Every code valid: the whole form, keyed from 41 in declaration order,
  // the services line completed with the invoice data of its movements.
  RecordsetPtr rs = Succeeds(object, "GeneraRstDatiModuloStampe");
  ASSERT_NE(rs, nullptr);
  EXPECT_EQ(rs->CursorType, 1);
  EXPECT_EQ(rs->LockType, 3);
  EXPECT_EQ(rs->AbsolutePosition(), 1);
  ExpectData("the whole form, merged services", rs);

  // A replaced code on two lines of May: only the lines of the staged
  // table with that code, kind and reference year come back, flagged.
  db.Add({.registration = 4, .partner = 12, .code = "'73181595'", .amount = "40", .currencyAmount = "40",
          .destination = "38"});
  db.Add({.registration = 5, .code = "'73181595'", .amount = "50",
          .currencyAmount = "50"});
  ExpectData("the lines with a replaced code", Succeeds(object, "GeneraRstDatiModuloStampe"));

  // An empty period: an empty recordset.
  in->PeriodoStampa = Variant::Integer(6);
  rs = Succeeds(object, "GeneraRstDatiModuloStampe");
  ASSERT_NE(rs, nullptr);
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_TRUE(rs->EOF());
}

TEST(FormData, BothListsOfATelematicSubmission) {
  TempDatabase db(testing::TestFile("nomenclature/form_data_rows.sql"));
  db.Add(Purchase(6, "'84821090'"));
  CLSIN_INTRABO object;
  auto in = Input(db, 2);
  in->TipoIntra = Variant::Integer(3);
  object.SetCInput(in);
  object.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));

  // Sales first, then purchases, the keys rising across both.
  ExpectData("both lists", Succeeds(object, "GeneraRstDatiNomenclaturaInvioTelematico"));
  EXPECT_EQ(in->TipoStampa, Variant::Integer(2));
  EXPECT_EQ(in->TipoIntra, Variant::Integer(1));
  EXPECT_EQ(in->MaxProgrDatiInvio, 3);

  // An invalid code in the purchases list only: its error rows alone, keyed
  // after the sales list's lines.
  db.Add(Purchase(7, "'99999999'"));
  in->MaxProgrDatiInvio = 0;
  ExpectData("both lists, an invalid purchases code",
             Succeeds(object, "GeneraRstDatiNomenclaturaInvioTelematico"));

  // The error check of both lists: the purchases check keyed from the
  // number the host gave, the sales check from 0.
  in->MaxProgrDatiInvio = 20;
  ExpectData("error check of both lists", Succeeds(object, "GeneraRstErroriNomenclaturaInvioTelematico"));
  EXPECT_EQ(in->TipoStampa, Variant::Integer(2));
  EXPECT_EQ(in->MaxProgrDatiInvio, 20);
  const std::string both = object.COutput()->StringaSQLErroriNomenclatura.Text();
  for (int16_t list : {0, 1}) {
    CLSIN_INTRABO single;
    auto one = Input(db, list);
    one->MaxProgrDatiInvio = static_cast<int16_t>(list == 0 ? 0 : 20);
    single.SetCInput(one);
    single.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));
    nomenclature::DefinisciStringaPerErroriNomenclatureSuModulo(single.context());
    EXPECT_EQ(single.Stato(), Variant::Integer(0));
    const std::string text = single.COutput()->StringaSQLErroriNomenclatura.Text();
    EXPECT_SAME_TEXT(text, list == 0 ? both.substr(0, text.size()) : both.substr(both.size() - text.size()));
  }

  // Purchases declared quarterly: the two lists' tables have different
  // columns and cannot be gathered in one.
  db.Run("UPDATE CG18_DITTE SET CG18_INDINTRAACQ = 2");
  RecordsetPtr rs = Call(object, "GeneraRstDatiNomenclaturaInvioTelematico");
  EXPECT_EQ(rs, nullptr);
  EXPECT_EQ(object.Stato(), Variant::Integer(213));
  EXPECT_SAME_TEXT(
      "Column name or number of supplied values does not match table definition. in "
      "GeneraRstDatiNomenclaturaInvioTelematico",
      object.Errore().Text());
}

TEST(FormData, OneListAndTheCompanysPeriodicity) {
  TempDatabase db(testing::TestFile("nomenclature/form_data_rows.sql"));
  db.Run("UPDATE CG18_DITTE SET CG18_INDINTRAVEN = NULL");
  CLSIN_INTRABO object;
  auto in = Input(db, 0);
  in->MaxProgrDatiInvio = 7;
  object.SetCInput(in);
  object.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));

  // No sales periodicity: the pass takes 0, a list the company does not
  // declare, whose statement has no period and does not run. The error
  // check says so only in Stato.
  RecordsetPtr rs = Call(object, "GeneraRstErroriNomenclaturaInvioTelematico");
  EXPECT_EQ(rs, nullptr);
  EXPECT_EQ(object.Stato(), Variant::Integer(99));
  EXPECT_EQ(object.Errore().Text(), "");
  EXPECT_EQ(in->TipoIntra, Variant::Integer(0));
  EXPECT_EQ(in->MaxProgrDatiInvio, 0);

  // A list that is neither sales nor purchases: one pass, the periodicity
  // as the host set it.
  in->TipoStampa = Variant::Integer(5);
  in->TipoIntra = Variant::Integer(1);
  rs = Call(object, "GeneraRstDatiNomenclaturaInvioTelematico");
  EXPECT_EQ(in->TipoStampa, Variant::Integer(5));
  EXPECT_EQ(in->TipoIntra, Variant::Integer(1));

  // Without a company nothing runs.
  in->Ditta = Variant::Null();
  for (const char* operation : {"GeneraRstDatiModuloStampe", "GeneraRstErroriNomenclaturaInvioTelematico",
                                "GeneraRstDatiNomenclaturaInvioTelematico"}) {
    EXPECT_EQ(Call(object, operation), nullptr) << operation;
    EXPECT_EQ(object.Stato(), Variant::Integer(1)) << operation;
  }

  // A database that cannot be opened: the error check fails silently, the
  // form data with the reason.
  in->Ditta = Variant::Integer(1);
  in->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=/nonexistent/host.db");
  CLSIN_INTRABO broken;
  broken.SetCInput(in);
  broken.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));
  EXPECT_EQ(Call(broken, "GeneraRstErroriNomenclaturaInvioTelematico"), nullptr);
  EXPECT_EQ(broken.Stato(), Variant::Integer(99));
  EXPECT_EQ(Call(broken, "GeneraRstDatiModuloStampe"), nullptr);
  EXPECT_NE(broken.Stato(), Variant::Integer(0));
  EXPECT_TRUE(broken.Errore().Text().ends_with(" in GeneraRstDatiModuloStampe")) << broken.Errore().Text();
}

}  // namespace
}  // namespace zelmora
