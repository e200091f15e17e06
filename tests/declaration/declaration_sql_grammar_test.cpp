// The declaration statements checked against sqlfluff's T-SQL grammar: the
// single-company statement in full (monthly, with the reference year and
// every correction key) and the multi-activity one as published (quarterly,
// correlated amounts, French keys and a real IN list).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cli/active_interface.h"
#include "component/clsin_intrabo.h"
#include "declaration/declaration_procedures.h"
#include "platform/linked_companies.h"
#include "support/sqlfluff.h"

namespace zelmora {
namespace {

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

TEST(DeclarationSqlGrammar, TheCompleteMonthlyStatementParses) {
  CLSIN_INTRABO object(std::make_shared<Services>());
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->Ditta = Variant::Integer(7);
  in->Anno = Variant::Integer(2024);
  in->PeriodoStampa = Variant::Integer(5);
  in->TipoIntra = Variant::Integer(1);
  in->CambioPeriodicita = true;
  in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  in->OperazioneRif = Variant::Integer(1);
  object.SetCInput(in);
  object.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));
  declaration::DefinisciStringaPerIntraSuModulo(object.context());
  ASSERT_EQ(object.Stato(), Variant::Integer(0));
  testing::ExpectTsqlParses(object.context().StringaSQLModuloCompleta);
}

TEST(DeclarationSqlGrammar, TheLinkedCompaniesStatementParses) {
  CLSIN_INTRABO object(std::make_shared<Services>());
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->Ditta = Variant::Integer(7);
  in->Anno = Variant::Integer(2024);
  in->PeriodoStampa = Variant::Integer(6);
  in->TipoIntra = Variant::Integer(2);
  in->TipoStampa = Variant::Integer(1);
  in->AccorpaArt23 = true;
  in->GestioneErrori = true;
  in->CheckPiuAttivita = Variant::Integer(1);
  object.SetCInput(in);
  object.SetActiveInterface(cli::ActiveInterface(Variant::Integer(2)));
  declaration::BuildDeclarationStatement(object.context());
  ASSERT_EQ(object.Stato(), Variant::Integer(0));
  testing::ExpectTsqlParses(object.COutput()->StringaSQLperStampaIntra.Text());
}

}  // namespace
}  // namespace zelmora
