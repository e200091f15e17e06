// The movement list (one row per line) and the browsing list (one row per
// document) run on a SQLite host database with hand-made documents.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "facade/clsin_intrabo.h"
#include "support/database.h"
#include "support/file_bytes.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::TempDatabase;

Variant Text(const char* value) { return Variant::String(value); }
Variant Int(int16_t value) { return Variant::Integer(value); }

std::string Show(const FieldInfo& field, const Variant& value) {
  if (value.IsNull()) return "Null";
  if (value.type() == VarType::Date) return value.AsDate().ToIso();
  if (value.type() == VarType::Decimal) return value.AsDecimal().ToFixed(field.numericScale);
  return value.ToString();
}

// The named fields of every visible row, "|"-separated, one row a line.
// A name given as "NAME#n" is the n-th field of that name.
std::string Rows(const Recordset& rows, const std::vector<std::string>& names) {
  std::vector<size_t> indexes;
  for (const std::string& name : names) {
    const size_t hash = name.find('#');
    int occurrence = hash == std::string::npos ? 1 : std::stoi(name.substr(hash + 1));
    const std::string field = name.substr(0, hash);
    size_t found = rows.FieldCount();
    for (size_t i = 0; i < rows.FieldCount() && found == rows.FieldCount(); ++i) {
      if (rows.Field(i).name == field && --occurrence == 0) found = i;
    }
    if (found == rows.FieldCount()) ADD_FAILURE() << "no field " << name;
    indexes.push_back(found);
  }
  std::string text;
  for (const Row* row : rows.VisibleRows()) {
    for (size_t i = 0; i < indexes.size(); ++i) {
      if (i) text += "|";
      if (indexes[i] < rows.FieldCount()) text += Show(rows.Field(indexes[i]), (*row)[indexes[i]]);
    }
    text += "\n";
  }
  return text;
}

std::shared_ptr<CLSIN_INPUTINTRA> Input(const TempDatabase& db) {
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  input->Ditta = Int(1);
  input->StringaDiConnessione = Text(db.ConnectionString().c_str());
  return input;
}

const std::vector<std::string> kLineFields = {"IN01_NUMREG_CG41", "IN02_NUMRIGA",   "IN02_INDOPER",
                                              "IN02_NOMENCLATURA", "IN02_IMPORTO", "IN02_FLGSEGNO"};

TEST(MovementRecordsets, TheLineListHasOneRowPerLineAndOneForADocumentWithoutLines) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  CLSIN_INTRABO object;
  auto input = Input(db);
  input->OperazioneRif = Int(1);  // ignored: the list shows both kinds
  object.SetCInput(input);
  object.GeneraRecordsetIntra();
  ASSERT_EQ(object.context().Stato, 0) << object.Errore().Text();
  EXPECT_EQ(input->TipoElaborazione, "Interrogazione");
  ASSERT_EQ(object.COutput()->StringaSQLperStampaIntra.type(), VarType::String);
  const RecordsetPtr rows = object.COutput()->RecordsetIntra;
  ASSERT_NE(rows, nullptr);

  // Ordered by kind of line (Null first), document kind and code.
  EXPECT_SAME_TEXT(
      "12|0|Null|Null|Null|Null\n"
      "13|2|Null|84713000|0.20|0\n"
      "10|1|0|84713000|1000.10|0\n"
      "13|1|0|01012100|0.10|0\n"
      "10|2|1|331200|250.20|0\n"
      "11|1|1|773900|99.99|1\n",
      Rows(*rows, kLineFields));
  EXPECT_EQ(rows->RecordCount(), 6);

  // Party, registry and the countries of provenance and destination.
  EXPECT_SAME_TEXT(
      "12|77|501|Dupont SA|Null|Null|USD|USD|2024-01-05|2024-01-20\n"
      "13|77|501|Dupont SA|Francia|Null|EUR|EUR|2024-01-20|2024-01-25\n"
      "10|123|500|Müller GmbH|Null|Germania|EUR|EUR|2024-01-08|2024-01-10\n"
      "13|77|501|Dupont SA|Francia|Null|EUR|EUR|2024-01-20|2024-01-25\n"
      "10|123|500|Müller GmbH|Null|Germania|EUR|EUR|2024-01-08|2024-01-10\n"
      "11|123|500|Müller GmbH|Null|Germania|EUR|EUR|2024-01-14|2024-01-15\n",
      Rows(*rows, {"IN01_NUMREG_CG41", "CG44_CLIFOR", "CG16_CODICE", "CG16_RAGSOANAG", "CG07_DESCR#1",
                   "CG07_DESCR#3", "IN01_CODICE_CG08#1", "IN01_CODICE_CG08#2", "CG41_DATADOC", "CG41_DATAREG"}));

  // The fields in the order of the select list; the currency twice.
  std::string names;
  for (size_t i = 0; i < rows->FieldCount(); ++i) names += rows->Field(i).name + " ";
  EXPECT_SAME_TEXT(
      "CG16_CODICE CG16_RAGSOANAG IN01_INDTIPODOC CG41_NUMDOCORIG CG41_DATADOC CG41_DATAREG CG41_CODICE_CG33 "
      "CG41_DESCAUSALE IN01_CAMBIO IN01_CODICE_CG08 IN01_DITTA_CG18 IN01_CODICE_CG08 IN01_NUMREG_CG41 IN02_MESERIF "
      "IN02_ANNORIF IN02_NOMENCLATURA IN02_IMPORTO IN02_INDNATURA IN01_PORTOSPA IN01_CODINCOTERMS_MG0T "
      "CG16_CODICE_CG07 IN02_NUMRIGA IN02_IMPORTOVAL IN02_INDCONS IN02_PAESEPRO_CG07 IN02_PAESEORI_CG07 "
      "IN02_PAESEDES_CG07 IN02_PROVDEST IN02_PROVORIG IN02_MASSA IN02_UNSUPPL IN02_VALSTAT IN02_INDTRASP CG44_CLIFOR "
      "CG07_DESCR CG07_DESCR CG07_DESCR IN02_FLGSEGNO IN02_INDTIPODATI IN02_INDOPER IN02_CODICE_IN03 "
      "IN02_CODICE_IN04 ",
      names);
  const FieldInfo& amount = rows->Field(*rows->FieldIndex("IN02_IMPORTO"));
  EXPECT_EQ(amount.type, DataType::Decimal);
  EXPECT_EQ(amount.numericScale, 2);
}

TEST(MovementRecordsets, TheLineListFollowsTheFilters) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  struct Case {
    const char* name;
    std::function<void(CLSIN_INPUTINTRA&)> set;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"goods codes from 8: services kept, lines of no kind dropped",
       [](CLSIN_INPUTINTRA& in) { in.NomenclaturaIniziale = Text("8"); },
       "10|1|0|84713000|1000.10|0\n"
       "10|2|1|331200|250.20|0\n"
       "11|1|1|773900|99.99|1\n"},
      {"service codes up to 5: goods kept",
       [](CLSIN_INPUTINTRA& in) { in.ServizioFinale = Text("5"); },
       "10|1|0|84713000|1000.10|0\n"
       "13|1|0|01012100|0.10|0\n"
       "10|2|1|331200|250.20|0\n"},
      {"only documents with lines",
       [](CLSIN_INPUTINTRA& in) { in.Pbol_Dettaglio = true; },
       "13|2|Null|84713000|0.20|0\n"
       "10|1|0|84713000|1000.10|0\n"
       "13|1|0|01012100|0.10|0\n"
       "10|2|1|331200|250.20|0\n"
       "11|1|1|773900|99.99|1\n"},
      {"purchases", [](CLSIN_INPUTINTRA& in) { in.TipoMovimento = Int(3); },
       "12|0|Null|Null|Null|Null\n"
       "13|2|Null|84713000|0.20|0\n"
       "13|1|0|01012100|0.10|0\n"},
      {"customer 123 by its account",
       [](CLSIN_INPUTINTRA& in) {
         in.Conto = Text("1102000123");
         in.TipoCF = Int(0);
       },
       "10|1|0|84713000|1000.10|0\n"
       "10|2|1|331200|250.20|0\n"
       "11|1|1|773900|99.99|1\n"},
      {"document dates and number",
       [](CLSIN_INPUTINTRA& in) {
         in.DataDocumentoIniziale = Text("2024-01-06");
         in.DataDocumentoFinale = Text("14/01/2024");
         in.NumeroDocumento = Text("ft2");
       },
       "11|1|1|773900|99.99|1\n"},
      {"an invalid date selects nothing", [](CLSIN_INPUTINTRA& in) { in.DataDocumentoIniziale = Text("2024-02-30"); },
       ""},
      {"host filter with both kinds: a line of no kind counts as goods",
       [](CLSIN_INPUTINTRA& in) {
         in.ENHFiltro = Text("AND CG41_SEZIONALE = 'A1'");
         in.OperazioneRif = Int(9);
         in.Conto = Text("000123");  // ignored
         in.TipoCF = Int(0);
       },
       "12|0|Null|Null|Null|Null\n"
       "13|2|Null|84713000|0.20|0\n"
       "13|1|0|01012100|0.10|0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CLSIN_INTRABO object;
    auto input = Input(db);
    c.set(*input);
    object.SetCInput(input);
    object.GeneraRecordsetIntra();
    ASSERT_EQ(object.context().Stato, 0) << object.Errore().Text();
    ASSERT_NE(object.COutput()->RecordsetIntra, nullptr);
    EXPECT_SAME_TEXT(c.expected, Rows(*object.COutput()->RecordsetIntra, kLineFields));
  }
}

const std::vector<std::string> kDocumentFields = {"IN01_NUMREG_CG41", "DETTAGLIO",     "DTCOMPINTRA",
                                                  "CG44_CLIFOR",      "CG16_RAGSOANAG", "CG41_SEZIONALE"};

TEST(MovementRecordsets, TheBrowsingListHasOneRowPerDocument) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  CLSIN_INTRABO object;
  object.SetCInput(Input(db));
  object.COutput()->StringaSQLperStampaIntra = Text("SELECT 1");
  object.GeneraRecordsetIntraPerInterrogazione();
  ASSERT_EQ(object.context().Stato, 0) << object.Errore().Text();
  // Its text is not published.
  EXPECT_EQ(object.COutput()->StringaSQLperStampaIntra, Text("SELECT 1"));
  const RecordsetPtr rows = object.COutput()->RecordsetIntraInterrogazione;
  ASSERT_NE(rows, nullptr);
  // Without an operation: documents with goods lines, or without lines
  // (11 has services only). The competence date falls back on the VAT
  // registration date, then on the registration date.
  EXPECT_SAME_TEXT(
      "10|1|2024-01-10|123|Müller GmbH|V1\n"
      "12|Null|2024-01-20|77|Dupont SA|A1\n"
      "13|1|2024-01-26|77|Dupont SA|A1\n",
      Rows(*rows, kDocumentFields));

  std::string names;
  for (size_t i = 0; i < rows->FieldCount(); ++i) names += rows->Field(i).name + " ";
  EXPECT_SAME_TEXT(
      "CG16_CODICE CG16_RAGSOANAG IN01_INDTIPODOC CG41_NUMDOCORIG CG41_DATADOC CG41_SEZIONALE CG41_NUMDOC "
      "CG41_FLGDOCBIS CG41_DATAREG CG41_CODICE_CG33 CG41_DESCAUSALE IN01_CAMBIO IN01_CODICE_CG08 IN01_DITTA_CG18 "
      "IN01_CODICE_CG08 IN01_NUMREG_CG41 CG44_CLIFOR DTCOMPINTRA IN01_PORTOSPA IN01_CODINCOTERMS_MG0T "
      "CG16_CODICE_CG07 DETTAGLIO IN01_FLGSTANDALONE CG41_INDPROVREG ",
      names);
}

TEST(MovementRecordsets, TheBrowsingListFollowsTheFilters) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  struct Case {
    const char* name;
    std::function<void(CLSIN_INPUTINTRA&)> set;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"services: documents with services lines, or without lines",
       [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Int(1); },
       "10|1|2024-01-10|123|Müller GmbH|V1\n"
       "11|1|2024-01-14|123|Müller GmbH|V2\n"
       "12|Null|2024-01-20|77|Dupont SA|A1\n"},
      {"both kinds", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Text("9"); },
       "10|1|2024-01-10|123|Müller GmbH|V1\n"
       "11|1|2024-01-14|123|Müller GmbH|V2\n"
       "12|Null|2024-01-20|77|Dupont SA|A1\n"
       "13|1|2024-01-26|77|Dupont SA|A1\n"},
      {"goods codes from 8", [](CLSIN_INPUTINTRA& in) { in.NomenclaturaIniziale = Text("8"); },
       "10|1|2024-01-10|123|Müller GmbH|V1\n"
       "12|Null|2024-01-20|77|Dupont SA|A1\n"},
      {"only documents with lines",
       [](CLSIN_INPUTINTRA& in) {
         in.OperazioneRif = Int(9);
         in.Pbol_Dettaglio = true;
       },
       "10|1|2024-01-10|123|Müller GmbH|V1\n"
       "11|1|2024-01-14|123|Müller GmbH|V2\n"
       "13|1|2024-01-26|77|Dupont SA|A1\n"},
      {"section and protocol",
       [](CLSIN_INPUTINTRA& in) {
         in.CodiceSezionale = Text("a1");
         in.Protocollo = Int(6);
       },
       "13|1|2024-01-26|77|Dupont SA|A1\n"},
      {"supplier account, document date from",
       [](CLSIN_INPUTINTRA& in) {
         in.Conto = Text("000077");
         in.TipoCF = Int(1);
         in.DataDocumentoIniziale = Text("2024-01-10");
       },
       "13|1|2024-01-26|77|Dupont SA|A1\n"},
      {"host filter and ordering",
       [](CLSIN_INPUTINTRA& in) {
         in.OperazioneRif = Int(9);
         in.ENHFiltro = Text("AND CG41_DATAREG >= '20240115'");
         in.Conto = Text("000077");  // ignored
         in.TipoCF = Int(1);
         in.ENHOrdinamentoMovIntra = Text("IN01_NUMREG_CG41 DESC");
       },
       "13|1|2024-01-26|77|Dupont SA|A1\n"
       "12|Null|2024-01-20|77|Dupont SA|A1\n"
       "11|1|2024-01-14|123|Müller GmbH|V2\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CLSIN_INTRABO object;
    auto input = Input(db);
    c.set(*input);
    object.SetCInput(input);
    object.GeneraRecordsetIntraPerInterrogazione();
    ASSERT_EQ(object.context().Stato, 0) << object.Errore().Text();
    ASSERT_NE(object.COutput()->RecordsetIntraInterrogazione, nullptr);
    EXPECT_SAME_TEXT(c.expected, Rows(*object.COutput()->RecordsetIntraInterrogazione, kDocumentFields));
  }
}

TEST(MovementRecordsets, FailuresLeaveStatus1Or99AndThePreviousResults) {
  TempDatabase db(testing::TestFile("movements/movement_rows.sql"));
  CLSIN_INTRABO object;
  auto input = Input(db);
  object.SetCInput(input);

  // A missing prerequisite: status 1, no connection, nothing published.
  input->Ditta = Text("");
  object.SetErrore(Text("earlier"));
  object.GeneraRecordsetIntra();
  EXPECT_EQ(object.context().Stato, 1);
  EXPECT_EQ(object.context().Connessione, nullptr);
  EXPECT_EQ(input->TipoElaborazione, "");
  object.GeneraRecordsetIntraPerInterrogazione();
  EXPECT_EQ(object.context().Stato, 1);
  EXPECT_EQ(object.Errore().Text(), "earlier");

  // A successful list, then a failing one: the list stays, Errore is left
  // alone by the silent handler.
  input->Ditta = Int(1);
  object.GeneraRecordsetIntraPerInterrogazione();
  ASSERT_EQ(object.context().Stato, 0);
  const RecordsetPtr before = object.COutput()->RecordsetIntraInterrogazione;
  input->ENHFiltro = Text("AND NOT_A_COLUMN = 1");
  object.GeneraRecordsetIntraPerInterrogazione();
  EXPECT_EQ(object.context().Stato, 99);
  EXPECT_EQ(object.Errore().Text(), "earlier");
  EXPECT_EQ(object.COutput()->RecordsetIntraInterrogazione, before);

  object.GeneraRecordsetIntra();
  ASSERT_EQ(object.context().Stato, 99);
  EXPECT_EQ(object.COutput()->RecordsetIntra, nullptr);

  // A filter the query builder refuses is reported by the builder; the
  // list then runs the text already there.
  input->ENHFiltro = Variant();
  input->TipoMovimento = Text("acquisti");
  object.COutput()->StringaSQLperStampaIntra = Text("SELECT 1 AS UNO");
  object.GeneraRecordsetIntra();
  EXPECT_EQ(object.context().Stato, 13);
  EXPECT_EQ(object.Errore().Text(), "Type mismatch in DefinisciStringaSQLPerIntra");
  ASSERT_NE(object.COutput()->RecordsetIntra, nullptr);
  EXPECT_SAME_TEXT("1\n", Rows(*object.COutput()->RecordsetIntra, {"UNO"}));
}

TEST(MovementRecordsets, AConnectionThatFailsIsReportedByCreaConnessioneThenStatus99) {
  CLSIN_INTRABO object;
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  input->Ditta = Int(1);
  input->StringaDiConnessione = Text("Provider=SQLite;Data Source=/nonexistent/folder/host.db");
  object.SetCInput(input);
  object.GeneraRecordsetIntra();
  EXPECT_EQ(object.context().Stato, 99);
  const std::string errore = object.Errore().Text();
  const std::string suffix = " in CreaConnessione";
  ASSERT_GE(errore.size(), suffix.size());
  EXPECT_EQ(errore.substr(errore.size() - suffix.size()), suffix);
  EXPECT_EQ(object.COutput()->RecordsetIntra, nullptr);
}

}  // namespace
}  // namespace zelmora
