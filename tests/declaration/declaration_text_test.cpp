// The text of the declaration-lines statement, compared whole with the
// sections of golden/statements.sql, one for each branch of its making.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cli/active_interface.h"
#include "facade/clsin_intrabo.h"
#include "declaration/declaration_procedures.h"
#include "platform/linked_companies.h"
#include "support/may_sales.h"
#include "support/golden.h"
#include "support/value_text.h"

namespace zelmora {
namespace {

using testing::ExpectGoldenSection;

// The linked-companies service of the tests: answers a fixed list, or
// fails, and records what it was given.
struct LinkedCompaniesScript {
  std::string list = "7,9";
  int failStatus = 0;
  int runs = 0;
  std::vector<LinkedCompaniesService::Input> inputs;
};

class ScriptedLinkedCompanies : public LinkedCompaniesService {
 public:
  explicit ScriptedLinkedCompanies(std::shared_ptr<LinkedCompaniesScript> script) : script_(std::move(script)) {}
  void Run() override {
    ++script_->runs;
    script_->inputs.push_back(input_);
    if (script_->failStatus != 0) {
      status_ = script_->failStatus;
      errorText_ = "Nessuna ditta collegata per l'anno";
      return;
    }
    output_.ListaDitte = Variant::String(script_->list);
  }

 private:
  std::shared_ptr<LinkedCompaniesScript> script_;
};

class TestServices : public DefaultHostServices {
 public:
  std::shared_ptr<LinkedCompaniesScript> script = std::make_shared<LinkedCompaniesScript>();
  bool noService = false;
  std::shared_ptr<LinkedCompaniesService> NewLinkedCompaniesService() override {
    if (noService) return nullptr;
    return std::make_shared<ScriptedLinkedCompanies>(script);
  }
};

// A business object set up for the monthly golden statement.
std::unique_ptr<CLSIN_INTRABO> MonthlySales(std::shared_ptr<TestServices> services) {
  auto object = std::make_unique<CLSIN_INTRABO>(services);
  auto in = testing::StatementInput();
  in->GestioneErrori = true;  // no effect outside the French localisation
  in->StrWherePeriodo = " AND 1 = 1 ";
  object->SetCInput(in);
  object->SetActiveInterface(cli::ActiveInterface(Variant::Null()));
  return object;
}

// A business object set up for the quarterly multi-activity golden statement.
std::unique_ptr<CLSIN_INTRABO> QuarterlyLinkedFrench(std::shared_ptr<TestServices> services) {
  auto object = std::make_unique<CLSIN_INTRABO>(services);
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->Ditta = Variant::String("7");
  in->Anno = Variant::String("2024");
  in->PeriodoStampa = Variant::Integer(6);
  in->TipoIntra = Variant::Integer(2);
  in->TipoStampa = Variant::Integer(1);
  in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010;
  in->OperazioneRif = Variant::Integer(1);  // before 2010 only goods count
  in->AccorpaArt23 = true;
  in->GestioneErrori = true;
  in->CheckPiuAttivita = Variant::Integer(1);
  object->SetCInput(in);
  object->SetActiveInterface(cli::ActiveInterface(Variant::Integer(2)));
  return object;
}

std::string Published(const CLSIN_INTRABO& object) { return object.COutput()->StringaSQLperStampaIntra.Text(); }

const char kGolden[] = "declaration/golden/statements.sql";
// The period conditions the input is left, by the statement's section.
const char kPeriods[] = "declaration/golden/periods.txt";

void ExpectStatement(const std::string& section, const CLSIN_INTRABO& object) {
  SCOPED_TRACE(section);
  EXPECT_EQ(object.Stato(), Variant::Integer(0)) << object.Errore().Text();
  ExpectGoldenSection(kGolden, section, object.context().StringaSQLModuloCompleta);
}

TEST(DeclarationText, MonthlySalesStatementAndItsPublication) {
  auto services = std::make_shared<TestServices>();
  auto object = MonthlySales(services);
  object->COutput()->StringaSQLperStampaIntra = Variant::String("previous");
  declaration::DefinisciStringaPerIntraSuModulo(object->context());

  ExpectStatement("monthly sales", *object);
  // The published statement lacks the reference-year pieces.
  ExpectGoldenSection(kGolden, "monthly sales, published", Published(*object));
  ExpectGoldenSection(kPeriods, "monthly sales", object->CInput()->StrWherePeriodo);
  EXPECT_EQ(services->script->runs, 0);
}

// The 2022 writer's statement: each line also gives the column B of its
// movements, joined from zelmora's own table in both branches.
TEST(DeclarationText, TheStatementOfThe2022WriterGivesColumnB) {
  auto object = MonthlySales(std::make_shared<TestServices>());
  object->context().DeclarationWithNatureColumnB = true;
  declaration::DefinisciStringaPerIntraSuModulo(object->context());
  EXPECT_EQ(object->Stato(), Variant::Integer(0)) << object->Errore().Text();
  ExpectGoldenSection(kGolden, "monthly sales with column B, published", Published(*object));
}

// Each variant of the monthly statement of declaration/statement_cases.txt.
TEST(DeclarationText, MonthlyVariants) {
  for (const testing::InputCase& c : testing::ReadInputCases("declaration/statement_cases.txt")) {
    SCOPED_TRACE(c.name);
    auto object = MonthlySales(std::make_shared<TestServices>());
    for (const auto& [property, value] : c.set) {
      if (property == "ActiveInterface") {
        object->SetActiveInterface(cli::ActiveInterface(value));
      } else {
        object->CInput()->SetMember(property, value);
      }
    }
    declaration::DefinisciStringaPerIntraSuModulo(object->context());
    ExpectStatement(c.section, *object);
  }
}

TEST(DeclarationText, QuarterlyLinkedCompaniesStatementAndItsPublication) {
  auto services = std::make_shared<TestServices>();
  auto object = QuarterlyLinkedFrench(services);
  auto connection = std::make_shared<Connection>();
  object->CInput()->Connessione = connection;
  object->CInput()->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=host.db");
  declaration::DefinisciStringaPerIntraSuModuloPiuAttivita(object->context());

  ExpectStatement("quarterly linked companies", *object);
  ExpectGoldenSection(kGolden, "quarterly linked companies, published", Published(*object));
  ExpectGoldenSection(kPeriods, "quarterly linked companies", object->CInput()->StrWherePeriodo);

  // The service is asked once per branch, with the host's connection, the
  // connection string, the company and the year.
  ASSERT_EQ(services->script->runs, 2);
  for (const auto& input : services->script->inputs) {
    EXPECT_EQ(input.Connessione, connection);
    EXPECT_EQ(input.StringaDiConnessione, "Provider=SQLite;Data Source=host.db");
    EXPECT_EQ(input.Ditta, Variant::String("7"));
    EXPECT_EQ(input.Anno, Variant::String("2024"));
  }
}

TEST(DeclarationText, SingleCompanyAgainstLinkedCompanies) {
  auto services = std::make_shared<TestServices>();
  auto object = QuarterlyLinkedFrench(services);
  object->CInput()->CheckPiuAttivita = Variant::Integer(0);
  declaration::BuildDeclarationStatement(object->context());
  ExpectStatement("quarterly single company", *object);
  EXPECT_EQ(services->script->runs, 0);

  // Any CheckPiuAttivita other than 0 (after SeNullo) means linked companies.
  object->CInput()->CheckPiuAttivita = Variant::String("-1");
  declaration::BuildDeclarationStatement(object->context());
  ExpectStatement("quarterly linked companies", *object);
  EXPECT_EQ(services->script->runs, 2);
}

TEST(DeclarationText, OtherPeriodKinds) {
  for (const testing::InputCase& c : testing::ReadInputCases("declaration/period_cases.txt")) {
    SCOPED_TRACE(c.name);
    auto object = QuarterlyLinkedFrench(std::make_shared<TestServices>());
    for (const auto& [property, value] : c.set) object->CInput()->SetMember(property, value);
    object->CInput()->StrWherePeriodo = "stale";
    declaration::DefinisciStringaPerIntraSuModuloPiuAttivita(object->context());
    ExpectStatement(c.section, *object);
    ExpectGoldenSection(kPeriods, c.section, object->CInput()->StrWherePeriodo);
  }
}

TEST(DeclarationText, FailuresAreReportedUnderTheProcedureAndLeaveTheStatementCleared) {
  {
    SCOPED_TRACE("no active interface");
    auto object = MonthlySales(std::make_shared<TestServices>());
    object->SetActiveInterface(nullptr);
    object->context().StringaSQLModuloCompleta = "old";
    object->COutput()->StringaSQLperStampaIntra = Variant::String("previous");
    declaration::DefinisciStringaPerIntraSuModulo(object->context());
    EXPECT_EQ(object->Stato(), Variant::Integer(91));
    EXPECT_EQ(object->Errore(),
              Variant::String("Object variable or With block variable not set in DefinisciStringaPerIntraSuModulo"));
    EXPECT_EQ(object->context().StringaSQLModuloCompleta, "");
    EXPECT_EQ(object->CInput()->StrWherePeriodo, "");
    EXPECT_EQ(object->COutput()->StringaSQLperStampaIntra, Variant::String("previous"));
  }
  {
    SCOPED_TRACE("a year that is not a number");
    auto object = QuarterlyLinkedFrench(std::make_shared<TestServices>());
    object->CInput()->Anno = Variant::String("duemila");
    declaration::DefinisciStringaPerIntraSuModuloPiuAttivita(object->context());
    EXPECT_EQ(object->Stato(), Variant::Integer(13));
    EXPECT_EQ(object->Errore(), Variant::String("Type mismatch in DefinisciStringaPerIntraSuModuloPiuAttivita"));
  }
}

TEST(DeclarationText, GetDitteCollegateAndItsFailures) {
  auto services = std::make_shared<TestServices>();
  auto object = QuarterlyLinkedFrench(services);
  EXPECT_EQ(declaration::GetDitteCollegate(object->context()), Variant::String("7,9"));

  // The service's failure: no status, its text, an empty list, and a
  // statement whose empty IN list fails when it runs.
  services->script->failStatus = 5;
  object->SetStato(Variant::Integer(3));
  EXPECT_TRUE(declaration::GetDitteCollegate(object->context()).IsEmpty());
  EXPECT_EQ(object->Stato(), Variant::Integer(0));
  EXPECT_EQ(object->Errore(), Variant::String("Nessuna ditta collegata per l'anno"));

  declaration::DefinisciStringaPerIntraSuModuloPiuAttivita(object->context());
  EXPECT_EQ(object->Stato(), Variant::Integer(0));
  EXPECT_EQ(object->Errore(), Variant::String("Nessuna ditta collegata per l'anno"));
  ExpectStatement("linked companies unknown", *object);

  // A service that cannot be created is a failure of GetDitteCollegate.
  services->noService = true;
  EXPECT_TRUE(declaration::GetDitteCollegate(object->context()).IsEmpty());
  EXPECT_EQ(object->Stato(), Variant::Integer(91));
  EXPECT_EQ(object->Errore(), Variant::String("Object variable or With block variable not set in GetDitteCollegate"));
}

}  // namespace
}  // namespace zelmora
