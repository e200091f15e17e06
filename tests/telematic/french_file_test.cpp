#include <gtest/gtest.h>

#include <sstream>

#include "cli/active_interface.h"
#include "cli/french_command.h"
#include "facade/clsin_intrabo.h"
#include "declaration/french_procedures.h"
#include "telematic/french_records.h"
#include "support/database.h"
#include "support/temp_folder.h"
#include "support/golden.h"
#include "support/file_bytes.h"
#include "support/recordset_text.h"

namespace zelmora {
namespace {

using testing::TempDatabase;
using testing::SameText;

// The day the files are written.
class FixedDayServices : public DefaultHostServices {
 public:
  Date Today() override { return *Date::FromYMD(2024, 7, 5); }
};

// Company 3 of french_rows.sql, whose comments say what its June 2024
// movements are there for.
class FrenchFile : public ::testing::Test {
 protected:
  std::unique_ptr<CLSIN_INTRABO> Object(int tipoStampa) {
    auto object = std::make_unique<CLSIN_INTRABO>(services_);
    auto in = std::make_shared<CLSIN_INPUTINTRA>();
    in->StringaDiConnessione = Variant::String(db_.ConnectionString());
    in->Ditta = Variant::Long(3);
    in->Anno = Variant::Integer(2024);
    in->PeriodoStampa = Variant::Integer(6);
    in->TipoStampa = Variant::Integer(static_cast<int16_t>(tipoStampa));
    in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
    in->CodiceUtenteInvioTelematico = Variant::String("fr1");
    in->ProgressivoInvioTelematico = Variant::Integer(12);
    in->NumFloppy = Variant::Integer(4);
    in->Codicefiscale = Variant::String(" 123456789 ");
    in->Fax = Variant::String("0145");
    in->Telefono = Variant::String("0146");
    in->CognomeDeleg = Variant::String("Lefèvre");
    in->NomeDeleg = Variant::String("Élodie");
    in->LivObbligo = 1;
    object->SetCInput(in);
    object->SetActiveInterface(cli::ActiveInterface(Variant::Integer(2)));
    object->SetFolderFileIntraWeb(std::make_shared<Folder>(folder_.path()));
    object->SetPathFileIntraWeb("DEB.TXT");
    return object;
  }

  TempDatabase db_{testing::TestFile("telematic/french_rows.sql")};
  TempFolder folder_;
  std::shared_ptr<FixedDayServices> services_ = std::make_shared<FixedDayServices>();
};

TEST_F(FrenchFile, BothListsInOneFileWithOneRunningCounter) {
  auto object = Object(2);
  object->PreparaTracciatoPerLocalizzazioneFrancese(Variant::String("ignored"));
  const IntraContext& context = object->context();
  ASSERT_EQ(context.Stato, 0) << context.Errore.Text();
  testing::ExpectGoldenFile("telematic/golden/french_both_lists.TXT", zelmora::testing::FileBytes(folder_ / "DEB.TXT"));
  // The count of the last list; the list index of the last list stays.
  EXPECT_EQ(context.NumRecStpModIntra, Variant::Long(2));
  EXPECT_EQ(object->CInput()->TipoStampa, Variant::Integer(1));
  EXPECT_EQ(object->CInput()->TipoIntra, Variant::Integer(1));
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"DEB.TXT"});
}

TEST_F(FrenchFile, FailuresLeaveNoFile) {
  {
    SCOPED_TRACE("no file name: the first record fails");
    auto object = Object(0);
    object->SetPathFileIntraWeb("");
    object->context().Stato = 5;
    object->PreparaTracciatoPerLocalizzazioneFrancese(Variant());
    EXPECT_EQ(object->context().Stato, 91);
    EXPECT_EQ(object->context().Errore.Text(),
              "Object variable or With block variable not set in PreparaTracciatoPerLocalizzazioneFrancese");
    EXPECT_TRUE(folder_.Entries().empty());
  }
  {
    SCOPED_TRACE("a quarterly purchases list has no statistical columns: the sales written are thrown away");
    db_.Run("UPDATE CG18_DITTE SET CG18_INDINTRAACQ = 2 WHERE CG18_CODICE = 3");
    auto object = Object(2);
    object->PreparaTracciatoPerLocalizzazioneFrancese(Variant());
    EXPECT_EQ(object->context().Stato, 3265);
    EXPECT_TRUE(folder_.Entries().empty());
  }
  {
    SCOPED_TRACE("no line in the month: an empty file, not even a header");
    auto object = Object(2);
    object->CInput()->PeriodoStampa = Variant::Integer(8);
    object->PreparaTracciatoPerLocalizzazioneFrancese(Variant());
    EXPECT_EQ(object->context().Stato, 0) << object->context().Errore.Text();
    EXPECT_EQ(zelmora::testing::FileBytes(folder_ / "DEB.TXT"), "");
    EXPECT_EQ(object->context().NumRecStpModIntra, Variant::Long(0));
  }
}

TEST_F(FrenchFile, CountryCodesAndTheHeaderAlone) {
  auto object = Object(0);
  object->GeneraRstDatiLocalizzazioneFrancese();  // opens the connection
  IntraContext& context = object->context();
  EXPECT_EQ(declaration::DecodificaPaeseISO(context, 4), "DE");
  EXPECT_EQ(declaration::DecodificaPaeseISO(context, 7), "  ");  // known, without ISO code
  EXPECT_EQ(declaration::DecodificaPaeseISO(context, -1), "");
  EXPECT_EQ(context.Stato, 0);
  db_.Run("ALTER TABLE CG07_TABSTATIEST RENAME COLUMN CG07_CODISO TO CG07_ISO");
  EXPECT_EQ(declaration::DecodificaPaeseISO(context, 4), "");
  EXPECT_NE(context.Stato, 0);
  EXPECT_EQ(context.Errore.Text().substr(context.Errore.Text().size() - 22), " in DecodificaPaeseISO");

  // Short and missing values keep the header at its width; a long tax
  // code is cut; from position 94 the delegate's name keeps its case.
  CLSIN_INPUTINTRA in;
  in.PeriodoStampa = Variant::Integer(11);
  in.Codicefiscale = Variant::String("ABCDEFGHIJKLMNOPQ");
  in.CognomeDeleg = Variant::String("de la fontaine");
  in.NomeDeleg = Variant::String("jean");
  const std::string header = telematic::FrenchHeaderRecord(in, *Date::FromYMD(2024, 12, 31));
  //        1         2         3         4         5         6         7         8         9        10        11        12        13
  //        1234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456789012345678901234567890123456
  EXPECT_TRUE(SameText(
      "INTRACOM    113        1231ABCDEFGHIJKLMN                                        DE LA FONTAIne jean                                    ",
      header));
  EXPECT_EQ(header.size(), telematic::kFrenchRecordLength);
}

TEST_F(FrenchFile, EditableRecordsetOfBothLists) {
  auto object = Object(2);
  RecordsetPtr rs = object->GeneraRstDatiLocalizzazioneFrancese();
  ASSERT_TRUE(rs) << object->context().Stato << " " << object->context().Errore.Text();
  EXPECT_EQ(object->context().Stato, 0);
  EXPECT_EQ(object->CInput()->TipoStampa, Variant::Integer(2));
  // Sales and purchases in one table, without the reference year of the
  // codes; the services line is kept, the all-zero line is there too (the
  // recordset is not filtered).
  testing::ExpectGoldenSection("telematic/golden/french.txt", "both lists, editable",
                               testing::RecordsetText(*rs));
  // The rows can be edited by the host.
  rs->MoveFirst();
  rs->SetValue("DESCR_ERRORE", Variant::String("da controllare"));
  EXPECT_EQ(rs->Value("DESCR_ERRORE"), Variant::String("da controllare"));

  auto noCompany = Object(0);
  noCompany->CInput()->Ditta = Variant::String("");
  EXPECT_EQ(noCompany->GeneraRstDatiLocalizzazioneFrancese(), nullptr);
  EXPECT_EQ(noCompany->context().Stato, 1);
  db_.Run("DROP VIEW VIN01_INTRA");
  auto badSql = Object(0);
  badSql->context().Errore = Variant::String("earlier");
  EXPECT_EQ(badSql->GeneraRstDatiLocalizzazioneFrancese(), nullptr);
  EXPECT_EQ(badSql->context().Stato, 99);
  EXPECT_EQ(badSql->context().Errore, Variant::String("earlier"));
}

TEST_F(FrenchFile, CommandWritesTheFileOrSaysWhyNot) {
  cli::FrenchRequest request;
  request.database = db_.path();
  request.company = "3";
  request.year = "2024";
  request.period = "6";
  request.user = "FR1";
  request.outDir = folder_.path();
  std::ostringstream out, err;
  EXPECT_EQ(cli::RunFrench(request, out, err, services_), 0) << err.str();
  EXPECT_EQ(out.str(),
            "DEB202406.TXT written to " + folder_.path() + " (690 bytes)\n"
            "sales (flow 2): 2 lines, invoiced 1334, statistical value 1399, net mass 14\n"
            "purchases (flow 1): 2 lines, invoiced 350, statistical value 360, net mass 3\n");
  const std::string written = zelmora::testing::FileBytes(folder_ / "DEB202406.TXT");

  // A month without goods lines writes nothing and keeps an earlier file.
  request.period = "8";
  request.fileName = "DEB202406.TXT";
  out.str("");
  EXPECT_EQ(cli::RunFrench(request, out, err, services_), 0) << err.str();
  EXPECT_EQ(out.str(), "nothing to declare: no goods line in the period, no file written\n");
  EXPECT_EQ(zelmora::testing::FileBytes(folder_ / "DEB202406.TXT"), written);

  // Refusals: one line each, exit 2, no file.
  using Request = cli::FrenchRequest;
  auto refused = [&](std::string Request::*field, const char* value, const char* message) {
    SCOPED_TRACE(value);
    Request bad = request;
    bad.period = "6";
    bad.fileName = "BAD.TXT";
    bad.*field = value;
    std::ostringstream badOut, badErr;
    EXPECT_EQ(cli::RunFrench(bad, badOut, badErr, services_), 2);
    EXPECT_EQ(badErr.str(), message);
  };
  refused(&Request::user, "A'B", "zelmora french: --user must be letters and digits, not 'A'B'\n");
  refused(&Request::level, "12", "zelmora french: --level must be a whole number from 1 to 4, not '12'\n");
  refused(&Request::fileName, "../x", "zelmora french: --file must be a file name, not a path: '../x'\n");
  refused(&Request::company, "1", "zelmora french: company 1 is not in the company table CG18_DITTE\n");
  db_.Run("INSERT INTO CG18_DITTE VALUES (1, 'Alfa', 1, 1, 0)");
  refused(&Request::company, "1", "zelmora french: company 1 is not kept under the French localisation\n");
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"DEB202406.TXT"});
}

}  // namespace
}  // namespace zelmora
