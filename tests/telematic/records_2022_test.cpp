// The submission in the layout in force from January 2022: whole files per
// list and periodicity, the lines the writer refuses, and the format check
// of the 2022 rules on planted faults.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/host_harness.h"
#include "cli/telematic_command.h"
#include "cli/verify_command.h"
#include "support/march_submission.h"
#include "support/database.h"
#include "support/temp_folder.h"
#include "support/golden.h"
#include "telematic/submission_check.h"
#include "telematic/record_layout.h"

namespace zelmora {
namespace {

using Json = nlohmann::json;
using namespace zelmora::testing;

// Company 1 files both lists monthly. March 2024: two sales of one good to
// a German customer with column B 1 (one line), a sale of services with a
// five-digit code, a triangular sale (host nature 21) to a Greek customer,
// a correction of January's sales, a correction of a services line
// declared in February; purchases of goods (column B 2) and services from
// France; two call-off stock movements (one in April, outside the period).
constexpr const char* kMovements = R"SQL(
INSERT INTO CG18_DITTE VALUES (1, 'Alfa S.p.A.', 1, 1, 0);
INSERT INTO CG07_TABSTATIEST VALUES (1, 'IT', 'Italia', 0), (4, 'DE', 'Germania', 1), (5, 'FR', 'Francia', 1),
  (6, 'GR', 'Grecia', 1);
INSERT INTO CG16_ANAGGEN VALUES (100, 'Kunde GmbH', 'DE123456789', 4), (200, 'Fournisseur SA', 'FR12345678901', 5),
  (300, 'Pelatis AE', '094259216', 6);
INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 1, 20, 200), (1, 0, 30, 300);
INSERT INTO CG41_PRIMANOTA (CG41_DITTA_CG18, CG41_NUMREG, CG41_DATAREG, CG41_SEZIONALE, CG41_CODICE_CG33,
                            CG41_TIPOCF_CG44, CG41_CLIFOR_CG44) VALUES
  (1, 1, 20240310, 'A', '01', 0, 10), (1, 2, 20240312, 'A', '01', 0, 10), (1, 3, 20240315, 'A', '01', 0, 10),
  (1, 4, 20240316, 'A', '01', 0, 30), (1, 5, 20240318, 'A', '01', 0, 10), (1, 6, 20240305, 'B', '02', 1, 20),
  (1, 7, 20240306, 'B', '02', 1, 20), (1, 8, 20240320, 'A', '01', 0, 10);
INSERT INTO IN01_DOCTESTA (IN01_DITTA_CG18, IN01_NUMREG_CG41, IN01_INDTIPODOC, IN01_CODICE_CG08, IN01_DTCOMPINTRA) VALUES
  (1, 1, 1, 'EUR', 20240310), (1, 2, 1, 'EUR', 20240312), (1, 3, 1, 'EUR', 20240315), (1, 4, 1, 'EUR', 20240316),
  (1, 5, 2, 'EUR', 20240318), (1, 6, 3, 'EUR', 20240305), (1, 7, 3, 'EUR', 20240306), (1, 8, 2, 'EUR', 20240320);
INSERT INTO IN02_RIGHEDOC (IN02_DITTA_CG18, IN02_NUMREG_CG41, IN02_NUMRIGA, IN02_INDOPER, IN02_NOMENCLATURA,
    IN02_IMPORTO, IN02_IMPORTOVAL, IN02_FLGSEGNO, IN02_INDTIPODATI, IN02_INDNATURA, IN02_INDCONS, IN02_INDTRASP,
    IN02_PAESEPRO_CG07, IN02_PAESEORI_CG07, IN02_PAESEDES_CG07, IN02_PAESEPAG_CG07, IN02_PROVDEST, IN02_PROVORIG,
    IN02_MASSA, IN02_UNSUPPL, IN02_VALSTAT, IN02_CODICE_IN03, IN02_CODICE_IN04, IN02_NUMDOCORIG,
    IN02_DATADOCORIG, IN02_SEZORIG, IN02_MESERIF, IN02_ANNORIF, IN02_IMPORTOORIG, IN02_SEZDOG, IN02_PROTDICH,
    IN02_PROGRSEZ3) VALUES
  (1, 1, 1, 0, '84713000', 1000.49, 0, 0, 0, 1, 1, 3, NULL, 1, 4, NULL, NULL, 'MO', 12.5, 0, 1000.49,
   NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 2, 1, 0, '84713000', 200.10, 0, 0, 0, 1, 1, 3, NULL, 1, 4, NULL, NULL, 'MO', 2.4, 0, 200.10,
   NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 3, 1, 1, '62010', 500, 0, 0, 0, 1, NULL, NULL, NULL, NULL, NULL, 4, NULL, NULL, 0, 0, 0,
   'I', 'B', '15', 20240305, 'A', NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 4, 1, 0, '73181500', 300, 0, 0, 0, 21, 2, 1, NULL, 1, 6, NULL, NULL, 'BO', 0.3, 0, 300,
   NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 5, 1, 0, '84713000', 50.5, 0, 1, 0, 1, 1, 3, NULL, 1, 4, NULL, NULL, 'MO', 1, 0, 50.5,
   NULL, NULL, NULL, NULL, NULL, 1, 2024, NULL, NULL, NULL, NULL),
  (1, 6, 1, 0, '39269097', 300.4, 350.6, 0, 0, 1, 2, 3, 5, 5, NULL, NULL, 'BO', NULL, 3, 0, 300.4,
   NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 7, 1, 1, '631100', 80, 90, 0, 0, 1, NULL, NULL, NULL, NULL, NULL, 5, NULL, NULL, 0, 0, 0,
   'R', 'A', 'F-1', 20240301, 'B', NULL, NULL, NULL, NULL, NULL, NULL),
  (1, 8, 1, 1, '62010000', 100, 0, 0, 0, 1, NULL, NULL, NULL, NULL, NULL, 4, NULL, NULL, 0, 0, 0,
   'I', 'B', '9', 20240210, 'A', 2, 2024, 500, 28100, 123456, 3);
INSERT INTO ZL01_NATURAB VALUES (1, 1, 1, '1'), (1, 2, 1, '1'), (1, 6, 1, '2');
INSERT INTO ZL02_CALLOFFSTOCK VALUES (1, 1, 2024, 3, 'DE', 'DE123456789', 1, NULL, NULL),
  (1, 2, 2024, 3, 'GR', '094259216', 3, 'FR', '12345678901'), (1, 3, 2024, 4, 'DE', '123456789', 2, NULL, NULL);
)SQL";

class Submission2022 : public ::testing::Test {
 protected:
  void SetUp() override {
    DbPtr db = OpenDb(folder_ / "host.db");
    CreateHostSchema(db.get());
    Exec(db.get(), kMovements);
  }

  void Execute(const std::string& sql) const { Exec(OpenDb(folder_ / "host.db").get(), sql); }

  Json Input(int tipoStampa, int tipoIntra) const {
    Json input = MarchSubmissionInput("Provider=SQLite;Data Source=" + folder_ / "host.db", tipoStampa);
    input["TipoIntra"] = tipoIntra;
    return input;
  }

  // Runs the 2022 operation through the host harness, as a host calls it.
  Json Run(const Json& input) const {
    const Json script = {{"CInput", input},
                         {"ActiveInterface", {{"ClsGlobal", {{"Gcls_DittaCorrente", {{"IndLocalizzazione", 0}}}}}}},
                         {"calls", {"PreparaTracciatoPerInvioTelematico2022"}}};
    cli::HarnessResult result = cli::RunHostScript(script.dump());
    EXPECT_EQ(result.exitCode, 0) << result.error;
    return Json::parse(result.output);
  }

  std::string Text(const Json& output) const {
    const Json& text = output["COutput"]["StringaTracciatoInvioTelematico"];
    return text.is_string() ? text.get<std::string>() : std::string();
  }

  cli::SubmissionRequest Request(const std::string& outDir) const {
    cli::SubmissionRequest request;
    request.database = folder_ / "host.db";
    request.company = "1";
    request.year = "2024";
    request.period = "3";
    request.lists = "sales";
    request.periodicity = "monthly";
    request.user = "ABCD";
    request.date = "2024-04-15";
    request.progressive = "1";
    request.submission = "7";
    request.vat = "01234567890";
    request.outDir = outDir;
    return request;
  }

  TempFolder folder_;
};

//        1         2         3         4         5         6         7         8         9        10        11        12        13
//        1234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345
constexpr const char* kSalesMonthly =
    "ABCD            ABCD0415.I01            028100    01234567890     001 00009\r\n"
    "EUROX01234567890000007000000C24M0301234567890000000000000000002000000000150100001000000000005q00001000000000050000001000000000060000002\r\n"
    "EUROX01234567890000007100001DE123456789   0000000001201184713000000000001500000000000000000001201C3DEMO1IT\r\n"
    "EUROX01234567890000007100002EL094259216   0000000000300A73181500000000000100000000000000000000300D1ELBO IT\r\n"
    "EUROX0123456789000000720000101024DE123456789   -00000000000511847130000000000000051\r\n"
    "EUROX01234567890000007300001DE123456789   000000000050015             050324620100IBDE\r\n"
    "EUROX012345678900000074000010281002412345600003DE123456789   00000000006009              100224620100IBDE\r\n"
    "EUROX01234567890000007500001DE123456789   1              \r\n"
    "EUROX01234567890000007500002EL094259216   3FR12345678901 \r\n";

constexpr const char* kPurchasesMonthly =
    "ABCD            ABCD0415.I01            028100    01234567890     001 00004\r\n"
    "EUROX01234567890000007000000A24M03012345678900000000000000000010000000000300000000000000000000000010000000000080000000000000000000\r\n"
    "EUROX01234567890000007100001FR12345678901 00000000003000000000000351139269097000000000300000000000000000000300D3FRFRBO2\r\n"
    "EUROX01234567890000007300001FR12345678901 00000000000800000000000090F-1            010324631100RAFR\r\n";

TEST_F(Submission2022, WholeFilesPerListAndPeriodicity) {
  // Monthly sales: column B and the country of origin on goods, the
  // triangular sale as A with Greece as EL, the correction's sign in its
  // own field and the section-2 total's letter, the 5-digit service code
  // padded, the services correction, section 5 and its count.
  Json output = Run(Input(0, 1));
  ASSERT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  EXPECT_SAME_TEXT(kSalesMonthly, Text(output));

  // Quarterly sales: no statistical fields, the quarter of the correction.
  output = Run(Input(0, 2));
  ASSERT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  EXPECT_SAME_TEXT(
      "ABCD            ABCD0415.I01            028100    01234567890     001 00009\r\n"
      "EUROX01234567890000007000000C24T0101234567890000000000000000002000000000150100001000000000005q00001000000000050000001000000000060000002\r\n"
      "EUROX01234567890000007100001DE123456789   0000000001201184713000\r\n"
      "EUROX01234567890000007100002EL094259216   0000000000300A73181500\r\n"
      "EUROX0123456789000000720000100124DE123456789   -0000000000051184713000\r\n"
      "EUROX01234567890000007300001DE123456789   000000000050015             050324620100IBDE\r\n"
      "EUROX012345678900000074000010281002412345600003DE123456789   00000000006009              100224620100IBDE\r\n"
      "EUROX01234567890000007500001DE123456789   1              \r\n"
      "EUROX01234567890000007500002EL094259216   3FR12345678901 \r\n",
      Text(output));

  // Monthly purchases: the frontispiece stays at 130, goods at 119 with
  // column B last; the French VAT code loses its prefix.
  output = Run(Input(1, 1));
  ASSERT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  EXPECT_SAME_TEXT(kPurchasesMonthly, Text(output));

  // Quarterly purchases are not filed from 2022: nothing, and no failure.
  output = Run(Input(1, 2));
  EXPECT_EQ(output["steps"][0]["Stato"], 0) << output["steps"][0]["Errore"];
  EXPECT_EQ(Text(output), "");
}

TEST_F(Submission2022, TheCommandPicksTheLayoutAndSummarisesEverySection) {
  TempFolder out;
  cli::SubmissionRequest request = Request(out.path());
  request.lists = "both";
  request.periodicity = "";
  std::ostringstream o, e;
  ASSERT_EQ(cli::RunTelematic(request, o, e), 0) << e.str();
  EXPECT_SAME_TEXT(
      "sales list (monthly): 5 of 5 lines declared, 0 left out by the zero filter, 2 call-off stock movements\n"
      "purchases list (monthly): 2 of 2 lines declared, 0 left out by the zero filter\n"
      "ABCD0415.I01 written to " + out.path() + " (1182 bytes, 2022 layout)\n"
      "records: header 1, frontispiece 2, goods 3, goods corrections 1, services 2, services corrections 1, "
      "call-off stock 2\n"
      "sales declaration, submission 000007: goods 2 lines total 1501, goods corrections 1 line total -51, "
      "services 1 line total 500, services corrections 1 line total 600, call-off stock 2 lines\n"
      "purchases declaration, submission 000008: goods 1 line total 300, goods corrections 0 lines total 0, "
      "services 1 line total 80, services corrections 0 lines total 0\n"
      "format check: no problems\n",
      o.str());
  // The header's site number is 001 unless --office says otherwise.
  std::ifstream file(out / "ABCD0415.I01", std::ios::binary);
  std::string header(77, '\0');
  file.read(header.data(), 77);
  EXPECT_EQ(header, "ABCD            ABCD0415.I01            000000    01234567890     001 00012\r\n");

  // zelmora verify takes the file's layout from its period, or as told.
  const std::string written = out / "ABCD0415.I01";
  std::ostringstream v, w, none;
  EXPECT_EQ(cli::RunVerify({.file = written}, v, none), 0);
  EXPECT_EQ(v.str(), written + ": 2022 layout, 12 records, 0 problems\n");
  EXPECT_EQ(cli::RunVerify({.file = written, .csv = true, .layout = "2010"}, w, none), 1);
  EXPECT_SAME_TEXT(
      "RECORD,RECORD_TYPE,FIELD,HOLDS,WANTS\r\n"
      "2,0 frontispiece,record length,135,130\r\n"
      "8,declaration,record type,'5',\"'0', '1', '2', '3' or '4'\"\r\n"
      "9,declaration,record type,'5',\"'0', '1', '2', '3' or '4'\"\r\n"
      "11,1 goods,record length,119,118\r\n",
      w.str());
  EXPECT_EQ(none.str(), "");

  // Quarterly purchases before 2022 are still filed, in the 2010 layout;
  // from 2022 they are left out and the summary says why.
  Execute("UPDATE CG18_DITTE SET CG18_INDINTRAACQ = 2");
  TempFolder quarterly;
  request.outDir = quarterly.path();
  request.office = "12";
  std::ostringstream q, qe;
  ASSERT_EQ(cli::RunTelematic(request, q, qe), 0) << qe.str();
  EXPECT_EQ(q.str().substr(0, q.str().find("ABCD0415")),
            "sales list (monthly): 5 of 5 lines declared, 0 left out by the zero filter, 2 call-off stock movements\n"
            "purchases list (quarterly): left out, purchases are listed monthly only from 2022: a quarterly "
            "purchases list is not filed\n");
  std::ifstream qfile(quarterly / "ABCD0415.I01", std::ios::binary);
  qfile.read(header.data(), 77);
  EXPECT_EQ(header, "ABCD            ABCD0415.I01            000000    01234567890     012 00009\r\n");

  TempFolder old;
  request.outDir = old.path();
  request.layout = "2010";
  std::ostringstream p, pe;
  ASSERT_EQ(cli::RunTelematic(request, p, pe), 0) << pe.str();
  EXPECT_NE(p.str().find(" bytes, 2010 layout)\n"), std::string::npos) << p.str();
  request.layout = "2021";
  std::ostringstream r, re;
  EXPECT_EQ(cli::RunTelematic(request, r, re), 2);
  EXPECT_EQ(re.str(), "zelmora telematic: --layout must be 2010 or 2022, not '2021'\n");
}

TEST_F(Submission2022, ALineItCannotWriteStopsTheRunAndIsNamed) {
  struct Case {
    const char* change;
    const char* lines;  // on standard error, before the closing line
  };
  const Case cases[] = {
      {"UPDATE IN02_RIGHEDOC SET IN02_FLGSEGNO = 1 WHERE IN02_NUMREG_CG41 = 4",
       "sales goods line 2 (73181500, GR 094259216): its amount -300 is negative after netting: a credit note that "
       "does not net within its invoice's period is a correction of the period it corrects; registrations 4\n"},
      {"UPDATE CG16_ANAGGEN SET CG16_PARTIVA = NULL WHERE CG16_CODICE = 300",
       "sales goods line 2 (73181500, GR): it has no partner VAT code, which a sales line needs; registrations 4\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_INDTIPODATI = 2 WHERE IN02_NUMREG_CG41 = 4",
       "sales goods line 1 (73181500): it groups statistical-only movements without a partner, and a sales line "
       "needs the partner's VAT code; registrations 4\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_NOMENCLATURA = '7318150' WHERE IN02_NUMREG_CG41 = 4",
       "sales goods line 2 (7318150, GR 094259216): its goods code '7318150' is not 8 digits; registrations 4\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_INDNATURA = 6 WHERE IN02_NUMREG_CG41 = 4",
       "sales goods line 2 (73181500, GR 094259216): its nature of transaction 6 is withdrawn from 2022; "
       "registrations 4\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_INDNATURA = 26 WHERE IN02_NUMREG_CG41 = 4",
       "sales goods line 2 (73181500, GR 094259216): its nature of transaction 26 is withdrawn from 2022; "
       "registrations 4\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_INDNATURA = 0 WHERE IN02_NUMREG_CG41 = 4",
       "sales goods line 2 (73181500, GR 094259216): its nature of transaction '0' has no code in the 2022 table; "
       "registrations 4\n"},
      {"INSERT INTO ZL01_NATURAB VALUES (1, 4, 1, '3')",
       "sales goods line 2 (73181500, GR 094259216): its nature of column B '3' is given for a triangular "
       "operation, which leaves column B blank; registrations 4\n"},
      {"UPDATE ZL01_NATURAB SET ZL01_NATURAB = '2' WHERE ZL01_NUMREG_CG41 = 2",
       "sales goods line 1 (84713000, DE DE123456789): its movements carry different natures of column B; "
       "registrations 1, 2\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_NOMENCLATURA = '6201' WHERE IN02_NUMREG_CG41 = 3",
       "sales services line 4 (6201, DE DE123456789): its service code '6201' is not 5 or 6 digits; "
       "registrations 3\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_PROGRSEZ3 = 0 WHERE IN02_NUMREG_CG41 = 8",
       "sales services correction line 5 (62010000, DE DE123456789): the section-3 line it corrects has no "
       "progressive above zero; registrations 8\n"},
      {"UPDATE CG07_TABSTATIEST SET CG07_CODISO = 'XI' WHERE CG07_CODICE = 4",
       "sales services line 4 (62010, XI DE123456789): a service with a Northern Ireland party (XI) is not an "
       "intra-community service; registrations 3\n"
       "sales services correction line 5 (62010000, XI DE123456789): a service with a Northern Ireland party (XI) "
       "is not an intra-community service; registrations 8\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_INDTRASP = 12 WHERE IN02_NUMREG_CG41 = 4",
       "sales goods line 2 (73181500, GR 094259216): its transport mode '12' is not one digit; registrations 4\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_IMPORTO = 12345678901234 WHERE IN02_NUMREG_CG41 = 4",
       "sales goods line 2 (73181500, GR 094259216): its amount 12345678901234 does not fit 13 digits; "
       "registrations 4\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_NUMDOCORIG = 'N\xC2\xBA 15' WHERE IN02_NUMREG_CG41 = 3",
       "sales services line 4 (62010, DE DE123456789): its invoice number 'N\xC2\xBA 15' holds characters outside "
       "printable ASCII; registrations 3\n"},
      {"UPDATE IN02_RIGHEDOC SET IN02_MESERIF = NULL WHERE IN02_NUMREG_CG41 = 5",
       "sales goods correction line 3 (84713000, DE DE123456789): its reference month would be written '00', which "
       "the layout does not allow there; registrations 5\n"},
      {"UPDATE ZL02_CALLOFFSTOCK SET ZL02_STATONUOVO = NULL WHERE ZL02_ID = 2",
       "call-off stock movement 2 (EL 094259216): operation 3 needs the new consignee's member state and VAT code\n"},
      {"UPDATE ZL02_CALLOFFSTOCK SET ZL02_STATONUOVO = 'DE' WHERE ZL02_ID = 1",
       "call-off stock movement 1 (DE 123456789): only operation 3 names a new consignee\n"},
  };
  const std::string database = folder_ / "host.db", pristine = folder_ / "pristine.db";
  std::filesystem::copy_file(database, pristine);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    std::filesystem::copy_file(pristine, database, std::filesystem::copy_options::overwrite_existing);
    Execute(c.change);
    TempFolder out;
    std::ostringstream o, e;
    EXPECT_EQ(cli::RunTelematic(Request(out.path()), o, e), 1);
    std::string expected;
    size_t count = 0;
    for (std::string_view rest = c.lines; !rest.empty(); ++count) {
      const size_t end = rest.find('\n') + 1;
      expected += "zelmora telematic: " + std::string(rest.substr(0, end));
      rest.remove_prefix(end);
    }
    expected += "zelmora telematic: " + std::to_string(count) +
                (count == 1 ? " line cannot" : " lines cannot") + " be written in the 2022 layout; no file written\n";
    EXPECT_SAME_TEXT(expected, e.str());
    EXPECT_TRUE(out.Entries().empty());
  }

  // Through the host: Stato and Errore say it, the caller's text and
  // submission number stay as they were (no header either).
  std::filesystem::copy_file(pristine, database, std::filesystem::copy_options::overwrite_existing);
  Execute("UPDATE IN02_RIGHEDOC SET IN02_INDNATURA = 6 WHERE IN02_NUMREG_CG41 = 4");
  const Json script = {{"CInput", Input(2, 0)},
                       {"COutput", {{"StringaTracciatoInvioTelematico", "EARLIER\r\n"}}},
                       {"ActiveInterface", {{"ClsGlobal", {{"Gcls_DittaCorrente", {{"IndLocalizzazione", 0}}}}}}},
                       {"calls", {"PreparaTracciatoPerInvioTelematico2022"}}};
  cli::HarnessResult result = cli::RunHostScript(script.dump());
  ASSERT_EQ(result.exitCode, 0) << result.error;
  const Json output = Json::parse(result.output);
  EXPECT_EQ(output["steps"][0]["Stato"], 5);
  EXPECT_EQ(output["steps"][0]["Errore"],
            "1 line cannot be written in the 2022 layout; the first, sales goods line 2 (73181500, GR 094259216): "
            "its nature of transaction 6 is withdrawn from 2022 in PreparaTracciatoPerInvioTelematico2022");
  EXPECT_EQ(Text(output), "EARLIER\r\n");
  EXPECT_EQ(output["CInput"]["NumFloppy"], 7);
  EXPECT_EQ(output["CInput"]["TipoStampa"], 2);
}

// The file with `with` written over record `record` (1-based) from
// character `at`.
std::string Planted(std::string file, size_t record, size_t at, std::string_view with) {
  size_t from = 0;
  for (size_t i = 1; i < record; ++i) from = file.find("\r\n", from) + 2;
  return file.replace(from + at - 1, with.size(), with);
}

TEST(Format2022, TheRulesOfTheLayoutOnPlantedFaults) {
  const std::string sales = kSalesMonthly;
  const std::string purchases = kPurchasesMonthly;
  EXPECT_TRUE(telematic::CheckSubmission(sales, telematic::Format2022()).empty());
  EXPECT_TRUE(telematic::CheckSubmission(purchases, telematic::Format2022()).empty());
  std::string shortFrontispiece = sales;
  shortFrontispiece.erase(shortFrontispiece.find("\r\n", 78) - 5, 5);  // a sales frontispiece of 130
  std::string record2010 = sales;  // a monthly sales goods record of 2010, 103 characters
  record2010.erase(record2010.find("DEMO1IT") + 4, 3);
  std::string nonAscii = sales;  // two characters of an invoice number as 'N' and a masculine ordinal
  nonAscii.replace(nonAscii.find("15             050324"), 2, "N\xC2\xBA");
  std::string longPurchases = purchases;  // a purchases frontispiece of 135
  longPurchases.insert(longPurchases.find("\r\n", 78), "00000");
  struct Case {
    std::string file;
    const char* problems;
  };
  const Case cases[] = {
      // A sign and a blank in digit fields.
      {Planted(sales, 3, 50, "-"), "3,1 goods,amount,'0000000-01201',13 digits\r\n"},
      {Planted(sales, 4, 65, " "), "4,1 goods,net mass kg,' 000000001',10 digits\r\n"},
      // Lengths per list, record type and periodicity.
      {shortFrontispiece, "2,0 frontispiece,record length,130,135\r\n"},
      {record2010, "3,1 goods,record length,103,106\r\n"},
      {longPurchases, "2,0 frontispiece,record length,135,130\r\n"},
      // The frontispiece's counts (section 5's too) and totals, the section-2
      // total's letter.
      {Planted(sales, 2, 131, "00003"),
       "2,0 frontispiece,call-off stock lines,'00003',\"'00002', the call-off stock records that follow\"\r\n"},
      {Planted(sales, 2, 94, "5"),
       "2,0 frontispiece,goods corrections total,'0000000000055',\"'000000000005q', the sum of the goods corrections "
       "records\"\r\n"},
      // Section 4 names a section-3 line above zero; printable ASCII only.
      {Planted(sales, 7, 43, "00000"), "7,4 service correction,line to correct,'00000',5 digits from 1 to 99999\r\n"},
      {nonAscii, "6,3 services,bytes 57-58 (invoice number),'\\xC2\\xBA',printable ASCII characters (0x20 to 0x7E)\r\n"},
      // Purchases are monthly only and have no section 5.
      {Planted(purchases, 2, 32, "T"),
       "2,0 frontispiece,periodicity,'T','M'\r\n"
       "2,0 frontispiece,goods lines,'00001',\"'00000', the goods records that follow\"\r\n"
       "2,0 frontispiece,goods total,'0000000000300',\"'0000000000000', the sum of the goods records\"\r\n"
       "3,declaration,record type,'1',a detail record type of list 'A'\r\n"},
      {purchases + "EUROX01234567890000007500001DE123456789   1              \r\n",
       "1,header,number of records,00004,00005\r\n"
       "5,declaration,record type,'5',a detail record type of list 'A'\r\n"},
  };
  for (const Case& c : cases) {
    std::ostringstream csv;
    cli::WriteProblems(telematic::CheckSubmission(c.file, telematic::Format2022()), true, csv);
    EXPECT_SAME_TEXT(std::string("RECORD,RECORD_TYPE,FIELD,HOLDS,WANTS\r\n") + c.problems, csv.str());
  }
}

}  // namespace
}  // namespace zelmora
