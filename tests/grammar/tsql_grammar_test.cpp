// The T-SQL the program sends, and the hand-written T-SQL of the construct
// tests, checked against sqlfluff's T-SQL grammar ("sqlfluff parse
// --dialect tsql"), the one independent check of SQL Server syntax here.
// It takes seconds per text, so the table holds representative texts: the
// movement list with every filter and in the host's filter mode, the
// browsing list and the deletions; the declaration statement in full
// (monthly, reference year, every correction key) and as published for
// linked companies (quarterly, French keys, a real IN list); the
// nomenclature check derived from it and the batches that flag form lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/active_interface.h"
#include "facade/clsin_intrabo.h"
#include "declaration/declaration_procedures.h"
#include "movements/movement_sql.h"
#include "nomenclature/form_data_statements.h"
#include "nomenclature/nomenclature_procedures.h"
#include "platform/linked_companies.h"
#include "support/may_sales.h"
#include "support/construct_file.h"
#include "support/sqlfluff.h"

namespace zelmora {
namespace {

CLSIN_INPUTINTRA EveryMovementFilter() {
  CLSIN_INPUTINTRA in;
  in.Ditta = Variant::Integer(1);
  in.TipoMovimento = Variant::Integer(3);
  in.Conto = Variant::String("1102000077");
  in.TipoCF = Variant::Integer(1);
  in.DataDocumentoIniziale = Variant::String("2024-01-01");
  in.DataDocumentoFinale = Variant::String("2024-13-01");  // invalid: compared with Null
  in.NumeroDocumento = Variant::String("A-8");
  in.DataRegistrazioneIniziale = Variant::String("20240101");
  in.DataRegistrazioneFinale = Variant::String("31/03/2024");
  in.CodiceSezionale = Variant::String("A1");
  in.Protocollo = Variant::Integer(6);
  in.OperazioneRif = Variant::Integer(0);
  in.NomenclaturaIniziale = Variant::String("0101");
  in.NomenclaturaFinale = Variant::String("8471");
  in.ServizioIniziale = Variant::String("3");
  in.Pbol_Dettaglio = true;
  return in;
}

class FixedLinkedCompanies : public LinkedCompaniesService {
 public:
  void Run() override { output_.ListaDitte = Variant::String("7,9,12"); }
};

class Services : public DefaultHostServices {
 public:
  std::shared_ptr<LinkedCompaniesService> NewLinkedCompaniesService() override {
    return std::make_shared<FixedLinkedCompanies>();
  }
};

// Company 7, May 2024, monthly sales, with the reference year.
std::unique_ptr<CLSIN_INTRABO> MonthlyDeclaration(int interface) {
  auto object = std::make_unique<CLSIN_INTRABO>(std::make_shared<Services>());
  auto in = testing::StatementInput();
  in->MaxProgrDatiInvio = 40;
  object->SetCInput(in);
  object->SetActiveInterface(cli::ActiveInterface(Variant::Integer(interface)));
  return object;
}

struct Text {
  std::string name;
  std::function<std::string()> make;
};
void PrintTo(const Text& text, std::ostream* os) { *os << text.name; }

std::vector<Text> Texts() {
  std::vector<Text> texts = {
      {"MovementListWithEveryFilter", [] { return movements::MovementListSql(EveryMovementFilter()); }},
      {"MovementListInTheHostsFilterMode",
       [] {
         CLSIN_INPUTINTRA in;
         in.Ditta = Variant::Integer(1);
         in.OperazioneRif = Variant::Integer(9);
         in.ENHFiltro = Variant::String("AND CG41_SEZIONALE = 'A1'");
         in.ENHOrdinamentoMovIntra = Variant::String("CG41_DATAREG DESC");
         return movements::MovementListSql(in);
       }},
      {"BrowsingListWithEveryFilter",
       [] {
         CLSIN_INPUTINTRA in = EveryMovementFilter();
         in.OperazioneRif = Variant::Integer(9);
         return movements::DocumentBrowseSql(in);
       }},
      {"MovementDeletions",
       [] {
         CLSIN_INPUTINTRA in;
         in.Ditta = Variant::Integer(1);
         in.NumeroRegistrazione = Variant::Long(13);
         return movements::DeleteLinesSql(in) + "\r\n" + movements::DeleteHeaderSql(in);
       }},
      {"CompleteMonthlyDeclaration",
       [] {
         auto object = MonthlyDeclaration(0);
         object->CInput()->OperazioneRif = Variant::Integer(1);
         declaration::DefinisciStringaPerIntraSuModulo(object->context());
         return object->Stato() == Variant::Integer(0) ? object->context().StringaSQLModuloCompleta : "";
       }},
      {"LinkedCompaniesDeclarationAsPublished",
       [] {
         auto object = std::make_unique<CLSIN_INTRABO>(std::make_shared<Services>());
         auto in = std::make_shared<CLSIN_INPUTINTRA>();
         in->Ditta = Variant::Integer(7);
         in->Anno = Variant::Integer(2024);
         in->PeriodoStampa = Variant::Integer(6);
         in->TipoIntra = Variant::Integer(2);
         in->TipoStampa = Variant::Integer(1);
         in->AccorpaArt23 = true;
         in->GestioneErrori = true;
         in->CheckPiuAttivita = Variant::Integer(1);
         object->SetCInput(in);
         object->SetActiveInterface(cli::ActiveInterface(Variant::Integer(2)));
         declaration::BuildDeclarationStatement(object->context());
         return object->Stato() == Variant::Integer(0) ? object->COutput()->StringaSQLperStampaIntra.Text() : "";
       }},
      {"NomenclatureCheckOfAMonth",
       [] {
         auto object = MonthlyDeclaration(0);
         nomenclature::DefinisciStringaPerErroriNomenclatureSuModulo(object->context());
         return object->Stato() == Variant::Integer(0) ? object->COutput()->StringaSQLErroriNomenclatura.Text() : "";
       }},
      {"FlagFormLinesBatch", [] { return nomenclature::FlagErrorsBatch("SELECT FAKEID FROM #DATIMODULOSTAMPE"); }},
      {"GatherSecondListBatch", [] { return nomenclature::GatherSecondListBatch(); }},
  };
  // The hand-written texts of the construct tests marked "grammar", once each.
  std::vector<std::string> seen;
  for (const auto& section : testing::ReadConstructFile().sections) {
    for (const auto& block : section.blocks) {
      if (!block.grammar || std::find(seen.begin(), seen.end(), block.sql) != seen.end()) continue;
      seen.push_back(block.sql);
      texts.push_back({"ConstructLine" + std::to_string(block.line), [sql = block.sql] { return sql; }});
    }
  }
  return texts;
}

class TsqlGrammar : public ::testing::TestWithParam<Text> {};

TEST_P(TsqlGrammar, Parses) { testing::ExpectTsqlParses(GetParam().make()); }

INSTANTIATE_TEST_SUITE_P(Texts, TsqlGrammar, ::testing::ValuesIn(Texts()),
                         [](const ::testing::TestParamInfo<Text>& info) { return info.param.name; });

// The check does fail on text that is not T-SQL.
TEST(TsqlGrammarControl, ABrokenTextDoesNotParse) {
  const testing::TsqlGrammarCheck broken = testing::CheckTsqlGrammar("SELECT FROM WHERE ((\n");
  ASSERT_TRUE(broken.ran);
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_EQ("L:   1 | P:   1 |  PRS | Line 1, Position 1: Found unparsable section: 'SELECT FROM WHERE\n"
            "                       | (('",
            broken.violations);
}

}  // namespace
}  // namespace zelmora
