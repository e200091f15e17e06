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
#include "nomenclature/form_data_statements.h"
#include "nomenclature/nomenclature_procedures.h"
#include "platform/recordset.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::TempDatabase;

// Company 1 declares both lists monthly. Goods codes of 2024 (one replaced
// at the turn of the year), services codes of 2023 only.
void FillCompany(TempDatabase& db) {
  db.Run(
      "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDLOCALIZZAZIONE, CG18_INDINTRAVEN, CG18_INDINTRAACQ) "
      "VALUES (1, 'Declarant', 0, 1, 1);"
      "INSERT INTO CG07_TABSTATIEST VALUES (4, 'DE', 'Germania', 1), (38, 'AT', 'Austria', 1);"
      "INSERT INTO CG16_ANAGGEN VALUES (100, 'Müller GmbH', 'DE111', 4), (102, 'Gruber KG', 'ATU333', 38);"
      "INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 0, 12, 102), (1, 1, 20, 102);"
      "INSERT INTO CG72_NOMENCLATURE VALUES (2023, 0, '73181595', 'Viti'), (2024, 0, '84821090', 'Cuscinetti'), "
      "(2024, 0, '73181599', 'Viti'), (2023, 1, '620100', 'Software');"
      "INSERT INTO CG7S_NOMENCLATUREVARIATE VALUES ('73181595', '73181599');");
  db.Add({.registration = 1, .code = "'84821090'", .amount = "100", .currencyAmount = "100", .mass = "10"});
  db.Add({.registration = 2, .partner = 12, .code = "'84821090'", .amount = "300", .currencyAmount = "300",
          .destination = "38", .mass = "30"});
  db.Add({.registration = 3, .operation = 1, .code = "'620100'", .amount = "500", .currencyAmount = "500",
          .in03 = "'A1'", .in04 = "'B'", .originalNumber = "'F7'", .originalDate = "'20240502'"});
}

// A purchase from the Austrian supplier.
testing::Movement Purchase(int registration, const std::string& code) {
  return {.registration = registration, .documentKind = 3, .partnerKind = 1, .partner = 20, .code = code,
          .amount = "700", .currencyAmount = "700", .provenance = "38", .origin = "38", .destination = "NULL",
          .provinceOfDestination = "'MO'", .provinceOfOrigin = "NULL"};
}

std::shared_ptr<CLSIN_INPUTINTRA> Input(const TempDatabase& db, int16_t list) {
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->StringaDiConnessione = Variant::String(db.ConnectionString());
  in->Ditta = Variant::Integer(1);
  in->Anno = Variant::Integer(2024);
  in->PeriodoStampa = Variant::Integer(5);
  in->TipoIntra = Variant::Integer(1);
  in->TipoStampa = Variant::Integer(list);
  in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  return in;
}

std::string Text(const Variant& value) {
  if (value.IsNull()) return "NULL";
  if (value.type() == VarType::Date) return value.AsDate().ToIso();
  return value.Text();
}

// Every field (name and type) and every row, in the recordset's order.
std::string WholeRecordset(const Recordset& rs) {
  std::string text;
  for (size_t i = 0; i < rs.FieldCount(); ++i) {
    text += (i ? "|" : "") + rs.Field(i).name + ":" + std::to_string(static_cast<int>(rs.Field(i).type));
  }
  text += "\n";
  for (const Row* row : rs.VisibleRows()) {
    for (size_t i = 0; i < rs.FieldCount(); ++i) text += (i ? "|" : "") + Text((*row)[i]);
    text += "\n";
  }
  return text;
}

// The columns that tell the rows apart.
std::string KeyColumns(const Recordset& rs) {
  std::string text;
  for (const Row* row : rs.VisibleRows()) {
    for (const char* name : {"ERRORE", "FAKEID", "IN01_INDTIPODOC", "IN02_INDOPER", "CG16_PARTIVA",
                             "IN02_NOMENCLATURA", "NOMENCLATURA_ANNORIF"}) {
      const std::optional<size_t> index = rs.FieldIndex(name);
      text += std::string(name == std::string("ERRORE") ? "" : "|") + (index ? Text((*row)[*index]) : "-");
    }
    text += "\n";
  }
  return text;
}

// The columns of the form table: ERRORE and FAKEID, then the monthly
// declaration's, merged services.
constexpr const char* kFormColumns =
    "ERRORE:3|FAKEID:20|IN01_DITTA_CG18:3|IN01_INDTIPODOC:2|IN02_MESERIF:2|IN02_ANNORIF:2|"
    "CG41_TIPOCF_CG44:2|CG41_CLIFOR_CG44:3|CG16_CODICE:3|CG16_PARTIVA:200|CG16_RAGSOANAG:202|IMPORTO:14|"
    "IMPORTOVAL:14|CG07_INDTIPOSTATO:3|CG07_CODICECF:2|CG07_CODISOCF:200|CG07_DESCRCF:200|"
    "IN02_INDNATURA:2|IN02_NOMENCLATURA:200|IN02_INDTIPODATI:2|IN02_INDCONS:3|IN02_INDTRASP:3|"
    "IN02_PAESEPRO_CG07:3|IN02_PAESEORI_CG07:3|IN02_PAESEDES_CG07:3|CG07_CODICEPRO:3|CG07_DESCRPRO:200|"
    "CG07_CODISOPRO:200|CG07_CODICEORI:3|CG07_DESCRORI:200|CG07_CODISOORI:200|CG07_CODICEDES:3|"
    "CG07_DESCRDES:200|CG07_CODISODES:200|IN02_PROVDEST:200|IN02_PROVORIG:200|VALSTAT:14|IMPMASSA:14|"
    "IMPUNSUPPL:14|IN02_CODICE_IN03:200|IN02_CODICE_IN04:200|IN02_SEZORIG:200|IN02_NUMDOCORIG:200|"
    "IN02_DATADOCORIG:135|CG07_CODISOPAG:200|IN02_INDOPER:2|IN02_SEZDOG:3|IN02_PROTDICH:3|"
    "IN02_PROGRSEZ3:3|RETTIFICA:14|RETTIFICAVAL:14\n";

// The nomenclature-year table adds the reference year of each code.
constexpr const char* kYearColumns =
    "ERRORE:3|FAKEID:20|IN01_DITTA_CG18:3|IN01_INDTIPODOC:2|IN02_MESERIF:2|IN02_ANNORIF:2|"
    "CG41_TIPOCF_CG44:2|CG41_CLIFOR_CG44:3|CG16_CODICE:3|CG16_PARTIVA:200|CG16_RAGSOANAG:202|IMPORTO:14|"
    "IMPORTOVAL:14|CG07_INDTIPOSTATO:3|CG07_CODICECF:2|CG07_CODISOCF:200|CG07_DESCRCF:200|"
    "IN02_INDNATURA:2|IN02_NOMENCLATURA:200|IN02_INDTIPODATI:2|IN02_INDCONS:3|IN02_INDTRASP:3|"
    "IN02_PAESEPRO_CG07:3|IN02_PAESEORI_CG07:3|IN02_PAESEDES_CG07:3|CG07_CODICEPRO:3|CG07_DESCRPRO:200|"
    "CG07_CODISOPRO:200|CG07_CODICEORI:3|CG07_DESCRORI:200|CG07_CODISOORI:200|CG07_CODICEDES:3|"
    "CG07_DESCRDES:200|CG07_CODISODES:200|IN02_PROVDEST:200|IN02_PROVORIG:200|VALSTAT:14|IMPMASSA:14|"
    "IMPUNSUPPL:14|IN02_CODICE_IN03:200|IN02_CODICE_IN04:200|IN02_SEZORIG:200|IN02_NUMDOCORIG:200|"
    "IN02_DATADOCORIG:135|CG07_CODISOPAG:200|IN02_INDOPER:2|IN02_SEZDOG:3|IN02_PROTDICH:3|"
    "IN02_PROGRSEZ3:3|NOMENCLATURA_ANNORIF:2|RETTIFICA:14|RETTIFICAVAL:14\n";

RecordsetPtr Call(CLSIN_INTRABO& object, const char* operation) {
  std::vector<Variant> none;
  return std::dynamic_pointer_cast<Recordset>(object.Invoke(operation, none).AsObject());
}

TEST(FormData, TheWholeFormOrOnlyTheLinesWithAnInvalidCode) {
  TempDatabase db;
  FillCompany(db);
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
  RecordsetPtr rs = Call(object, "GeneraRstDatiModuloStampe");
  EXPECT_EQ(object.Stato(), Variant::Integer(0)) << object.Errore().Text();
  ASSERT_NE(rs, nullptr);
  EXPECT_EQ(rs->CursorType, 1);
  EXPECT_EQ(rs->LockType, 3);
  EXPECT_EQ(rs->AbsolutePosition(), 1);
  EXPECT_SAME_TEXT(std::string(kFormColumns) +
      "0|41|1|1|NULL|NULL|0|12|102|ATU333|Gruber KG|300|300|1|38|AT|Austria|1|84821090|0|1|3|NULL|NULL|38|NULL|NULL|NULL|NULL|NULL|NULL|38|Austria|AT|NULL|MO|0|30|0|||||NULL|NULL|0|NULL|NULL|NULL|0|0\n"
      "0|42|1|1|NULL|NULL|0|10|100|DE111|Müller GmbH|100|100|1|4|DE|Germania|1|84821090|0|1|3|NULL|NULL|4|NULL|NULL|NULL|NULL|NULL|NULL|4|Germania|DE|NULL|MO|0|10|0|||||NULL|NULL|0|NULL|NULL|NULL|0|0\n"
      "0|43|1|1|NULL|NULL|0|10|100|DE111|Müller GmbH|500|500|1|4|DE|Germania|1|620100|0|1|3|NULL|NULL|4|NULL|NULL|NULL|NULL|NULL|NULL|4|Germania|DE|NULL|MO|0|0|0|A1|B||F7|2024-05-02|NULL|1|NULL|NULL|NULL|0|0\n",
                   WholeRecordset(*rs));

  // A replaced code on two lines of May: only the lines of the staged
  // table with that code, kind and reference year come back, flagged.
  db.Add({.registration = 4, .partner = 12, .code = "'73181595'", .amount = "40", .currencyAmount = "40",
          .destination = "38"});
  db.Add({.registration = 5, .code = "'73181595'", .amount = "50",
          .currencyAmount = "50"});
  rs = Call(object, "GeneraRstDatiModuloStampe");
  EXPECT_EQ(object.Stato(), Variant::Integer(0)) << object.Errore().Text();
  ASSERT_NE(rs, nullptr);
  EXPECT_SAME_TEXT(std::string(kYearColumns) +
      "1|41|1|1|NULL|NULL|0|12|102|ATU333|Gruber KG|40|40|1|38|AT|Austria|1|73181595|0|1|3|NULL|NULL|38|NULL|NULL|NULL|NULL|NULL|NULL|38|Austria|AT|NULL|MO|0|0|0|||||NULL|NULL|0|NULL|NULL|NULL|2024|0|0\n"
      "1|43|1|1|NULL|NULL|0|10|100|DE111|Müller GmbH|50|50|1|4|DE|Germania|1|73181595|0|1|3|NULL|NULL|4|NULL|NULL|NULL|NULL|NULL|NULL|4|Germania|DE|NULL|MO|0|0|0|||||NULL|NULL|0|NULL|NULL|NULL|2024|0|0\n",
                   WholeRecordset(*rs));

  // An empty period: an empty recordset.
  in->PeriodoStampa = Variant::Integer(6);
  rs = Call(object, "GeneraRstDatiModuloStampe");
  EXPECT_EQ(object.Stato(), Variant::Integer(0)) << object.Errore().Text();
  ASSERT_NE(rs, nullptr);
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_TRUE(rs->EOF());
}

TEST(FormData, BothListsOfATelematicSubmission) {
  TempDatabase db;
  FillCompany(db);
  db.Add(Purchase(6, "'84821090'"));
  CLSIN_INTRABO object;
  auto in = Input(db, 2);
  in->TipoIntra = Variant::Integer(3);
  object.SetCInput(in);
  object.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));

  // Sales first, then purchases, the keys rising across both.
  RecordsetPtr rs = Call(object, "GeneraRstDatiNomenclaturaInvioTelematico");
  EXPECT_EQ(object.Stato(), Variant::Integer(0)) << object.Errore().Text();
  ASSERT_NE(rs, nullptr);
  EXPECT_SAME_TEXT(
      "0|1|1|0|ATU333|84821090|-\n"
      "0|2|1|0|DE111|84821090|-\n"
      "0|3|1|1|DE111|620100|-\n"
      "0|4|3|0|ATU333|84821090|-\n",
      KeyColumns(*rs));
  EXPECT_EQ(in->TipoStampa, Variant::Integer(2));
  EXPECT_EQ(in->TipoIntra, Variant::Integer(1));
  EXPECT_EQ(in->MaxProgrDatiInvio, 3);

  // An invalid code in the purchases list only: its error rows alone, keyed
  // after the sales list's lines.
  db.Add(Purchase(7, "'99999999'"));
  in->MaxProgrDatiInvio = 0;
  rs = Call(object, "GeneraRstDatiNomenclaturaInvioTelematico");
  EXPECT_EQ(object.Stato(), Variant::Integer(0)) << object.Errore().Text();
  ASSERT_NE(rs, nullptr);
  EXPECT_SAME_TEXT("1|5|3|0|ATU333|99999999|2024\n", KeyColumns(*rs));

  // The error check of both lists: the purchases check keyed from the
  // number the host gave, the sales check from 0.
  in->MaxProgrDatiInvio = 20;
  rs = Call(object, "GeneraRstErroriNomenclaturaInvioTelematico");
  EXPECT_EQ(object.Stato(), Variant::Integer(0)) << object.Errore().Text();
  ASSERT_NE(rs, nullptr);
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Value("FAKEID").Text(), "22");
  EXPECT_EQ(rs->Value("IN02_NOMENCLATURA").Text(), "99999999");
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
  rs = Call(object, "GeneraRstDatiNomenclaturaInvioTelematico");
  EXPECT_EQ(rs, nullptr);
  EXPECT_EQ(object.Stato(), Variant::Integer(213));
  EXPECT_SAME_TEXT(
      "Column name or number of supplied values does not match table definition. in "
      "GeneraRstDatiNomenclaturaInvioTelematico",
      object.Errore().Text());
}

TEST(FormData, OneListAndTheCompanysPeriodicity) {
  TempDatabase db;
  FillCompany(db);
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
