// The text of the declaration-lines statement, compared whole. Two
// statements are written out in full (expected_statements.h); the other
// switches are stated as exact edits of one of them, each edit required to
// match the number of times given.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/active_interface.h"
#include "component/clsin_intrabo.h"
#include "declaration/declaration_procedures.h"
#include "declaration/expected_statements.h"
#include "declaration/text_edit.h"
#include "platform/linked_companies.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::Edit;
using testing::Golden;
using testing::kMonthlySalesMarked;
using testing::kQuarterlyLinkedFrenchMarked;

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
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->Ditta = Variant::Long(7);
  in->Anno = Variant::Integer(2024);
  in->PeriodoStampa = Variant::Integer(5);
  in->TipoIntra = Variant::Integer(1);
  in->CambioPeriodicita = true;
  in->TipoStampa = Variant::Integer(0);
  in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
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

// The published statement: the complete one without the reference-year pieces.
std::string WithoutReferenceYear(std::string complete, int selects, int groups, int outer) {
  complete = Edit(complete, " , ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) AS NOMENCLATURA_ANNORIF \r", "", selects);
  complete = Edit(complete, " , ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) \r", "", groups);
  return Edit(complete, " , NOMENCLATURA_ANNORIF \r", "", outer);
}

std::string Published(const CLSIN_INTRABO& object) { return object.COutput()->StringaSQLperStampaIntra.Text(); }

const std::string kCompetenceDate = "ISNULL(IN01_DTCOMPINTRA , ISNULL(CG41_DATAREGIVA, CG41_DATAREG))";

TEST(DeclarationText, MonthlySalesStatementAndItsPublication) {
  auto services = std::make_shared<TestServices>();
  auto object = MonthlySales(services);
  object->COutput()->StringaSQLperStampaIntra = Variant::String("previous");
  declaration::DefinisciStringaPerIntraSuModulo(object->context());

  const std::string expected = Golden(kMonthlySalesMarked);
  EXPECT_EQ(object->Stato(), Variant::Integer(0));
  EXPECT_SAME_TEXT(expected, object->context().StringaSQLModuloCompleta);
  EXPECT_SAME_TEXT(WithoutReferenceYear(expected, 2, 2, 2), Published(*object));
  EXPECT_SAME_TEXT(" AND " + kCompetenceDate + " BETWEEN '20240401'\r\n AND '20240531'\r\n",
                   object->CInput()->StrWherePeriodo);
  EXPECT_EQ(services->script->runs, 0);
}

TEST(DeclarationText, MonthlyPeriodsAndFilters) {
  const std::string base = Golden(kMonthlySalesMarked);
  struct Case {
    const char* name;
    void (*set)(CLSIN_INPUTINTRA&);
    std::string expected;
  };
  const std::string goodsFilter = Edit(Edit(base, " AND IN02_INDTIPODATI <> 2 \r\n",
                                            " AND IN02_INDTIPODATI <> 2 \r\n AND IN02_INDOPER = 0 \r\n", 1),
                                       " AND IN02_INDTIPODATI = 2 \r\n",
                                       " AND IN02_INDTIPODATI = 2 \r\n AND IN02_INDOPER = 0 \r\n", 1);
  const std::vector<Case> cases = {
      // A quarter's first month is never widened.
      {"CambioPeriodicita in April",
       [](CLSIN_INPUTINTRA& in) { in.PeriodoStampa = Variant::Integer(4); },
       Edit(Edit(base, "'20240531'", "'20240430'", 4), "BETWEEN '20240501'", "BETWEEN '20240401'", 1)},
      {"no CambioPeriodicita", [](CLSIN_INPUTINTRA& in) { in.CambioPeriodicita = false; },
       Edit(base, "BETWEEN '20240401'", "BETWEEN '20240501'", 1)},
      {"OperazioneRif 9", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Variant::Integer(9); }, base},
      {"OperazioneRif empty text", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Variant::String(""); }, base},
      {"OperazioneRif 0", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Variant::Integer(0); }, goodsFilter},
      {"OperazioneRif 1", [](CLSIN_INPUTINTRA& in) { in.OperazioneRif = Variant::String("1"); },
       Edit(goodsFilter, " AND IN02_INDOPER = 0 ", " AND IN02_INDOPER = 1 ", 2)},
      {"before 2010 with OperazioneRif empty",
       [](CLSIN_INPUTINTRA& in) { in.AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010; },
       goodsFilter},
      {"before 2010 with OperazioneRif 1",
       [](CLSIN_INPUTINTRA& in) {
         in.AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010;
         in.OperazioneRif = Variant::Integer(1);
       },
       goodsFilter},
      {"purchases", [](CLSIN_INPUTINTRA& in) { in.TipoStampa = Variant::String("1"); },
       Edit(base, " AND IN01_INDTIPODOC IN (1,2) ", " AND IN01_INDTIPODOC IN (3,4) ", 2)},
      // December widened back to November.
      {"December", [](CLSIN_INPUTINTRA& in) { in.PeriodoStampa = Variant::Integer(12); },
       Edit(Edit(Edit(base, "'20240531'", "'20241231'", 4), "BETWEEN '20240401'", "BETWEEN '20241101'", 1),
            "BETWEEN '20240501'", "BETWEEN '20241201'", 1)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto object = MonthlySales(std::make_shared<TestServices>());
    c.set(*object->CInput());
    declaration::DefinisciStringaPerIntraSuModulo(object->context());
    EXPECT_EQ(object->Stato(), Variant::Integer(0));
    EXPECT_SAME_TEXT(c.expected, object->context().StringaSQLModuloCompleta);
  }
}

TEST(DeclarationText, FrenchLocalisationAddsTheRegimeAndWithGestioneErroriTheMovementKeys) {
  const std::string base = Golden(kMonthlySalesMarked);
  // The regime is a key of every part of the statement.
  std::string french = Edit(base, "IN02_INDNATURA, IN02_NOMENCLATURA, IN02_INDTIPODATI,\r\n",
                            "IN02_INDNATURA, IN02_NOMENCLATURA, IN02_INDTIPODATI,\r\n IN02_REGIME, \r\n", 1);
  french = Edit(french, "IN02_INDTIPODATI\r\n, IN02_INDCONS, IN02_INDTRASP , ",
                "IN02_INDTIPODATI\r\n ,IN02_REGIME \r\n, IN02_INDCONS, IN02_INDTRASP , ", 2);
  french = Edit(french, "\r\n, IN02_INDCONS, IN02_INDTRASP, IN02_PAESEPRO_CG07",
                "\r\n , IN02_REGIME \r\n, IN02_INDCONS, IN02_INDTRASP, IN02_PAESEPRO_CG07", 2);
  french = Edit(french, "IN02_INDTIPODATI,\r\n IN01_CODICE_CG08,\r\n",
                "IN02_INDTIPODATI,\r\n IN01_CODICE_CG08,\r\n IN02_REGIME, \r\n", 1);
  french = Edit(french, "ISNULL(VIN01_INTRA.IN02_DATADOCORIG,'')\r\n",
                "ISNULL(VIN01_INTRA.IN02_DATADOCORIG,'')\r\n"
                "AND ISNULL(RIGHE_RETT.IN02_REGIME,'') = ISNULL(VIN01_INTRA.IN02_REGIME,'')\r\n",
                2);

  {
    SCOPED_TRACE("French without GestioneErrori");
    auto object = MonthlySales(std::make_shared<TestServices>());
    object->CInput()->GestioneErrori = false;
    object->SetActiveInterface(cli::ActiveInterface(Variant::String("2")));
    declaration::DefinisciStringaPerIntraSuModulo(object->context());
    EXPECT_SAME_TEXT(french, object->context().StringaSQLModuloCompleta);
  }
  {
    SCOPED_TRACE("French with GestioneErrori");
    std::string errors = Edit(french, "IN02_NOMENCLATURA, IN02_INDTIPODATI,\r\n IN02_REGIME, \r\n",
                              "IN02_NOMENCLATURA, IN02_INDTIPODATI,\r\n IN02_REGIME, \r\n"
                              " IN01_NUMREG_CG41, CG41_CODICE_CG33, IN02_NUMRIGA,  \r\n",
                              1);
    errors = Edit(errors, " ,IN02_REGIME \r\n", " ,IN02_REGIME \r\n , IN01_NUMREG_CG41, CG41_CODICE_CG33, IN02_NUMRIGA \r\n", 2);
    errors = Edit(errors, " , IN02_REGIME \r\n", " , IN02_REGIME \r\n ,IN01_NUMREG_CG41, CG41_CODICE_CG33, IN02_NUMRIGA  \r\n", 2);
    errors = Edit(errors, " IN01_CODICE_CG08,\r\n IN02_REGIME, \r\n",
                  " IN01_CODICE_CG08,\r\n IN02_REGIME, \r\n IN01_NUMREG_CG41, CG41_CODICE_CG33, IN02_NUMRIGA, \r\n", 1);
    errors = Edit(errors, "ISNULL(VIN01_INTRA.IN02_REGIME,'')\r\n",
                  "ISNULL(VIN01_INTRA.IN02_REGIME,'')\r\n"
                  "AND ISNULL(RIGHE_RETT.IN01_NUMREG_CG41,'') = ISNULL(VIN01_INTRA.IN01_NUMREG_CG41,'')\r\n"
                  "AND ISNULL(RIGHE_RETT.CG41_CODICE_CG33,'') = ISNULL(VIN01_INTRA.CG41_CODICE_CG33,'')\r\n"
                  "AND ISNULL(RIGHE_RETT.IN02_NUMRIGA,0) = ISNULL(VIN01_INTRA.IN02_NUMRIGA,0)\r\n",
                  2);
    auto object = MonthlySales(std::make_shared<TestServices>());
    object->SetActiveInterface(cli::ActiveInterface(Variant::Integer(2)));
    declaration::DefinisciStringaPerIntraSuModulo(object->context());
    EXPECT_SAME_TEXT(errors, object->context().StringaSQLModuloCompleta);
  }
  {
    SCOPED_TRACE("another localisation");
    auto object = MonthlySales(std::make_shared<TestServices>());
    object->SetActiveInterface(cli::ActiveInterface(Variant::Integer(1)));
    declaration::DefinisciStringaPerIntraSuModulo(object->context());
    EXPECT_SAME_TEXT(base, object->context().StringaSQLModuloCompleta);
  }
}

TEST(DeclarationText, QuarterlyLinkedCompaniesStatementAndItsPublication) {
  auto services = std::make_shared<TestServices>();
  auto object = QuarterlyLinkedFrench(services);
  auto connection = std::make_shared<Connection>();
  object->CInput()->Connessione = connection;
  object->CInput()->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=host.db");
  declaration::DefinisciStringaPerIntraSuModuloPiuAttivita(object->context());

  const std::string expected = Golden(kQuarterlyLinkedFrenchMarked);
  EXPECT_EQ(object->Stato(), Variant::Integer(0));
  EXPECT_SAME_TEXT(expected, object->context().StringaSQLModuloCompleta);
  EXPECT_SAME_TEXT(WithoutReferenceYear(expected, 2, 2, 2), Published(*object));
  EXPECT_SAME_TEXT(" AND " + kCompetenceDate + " BETWEEN '20240401'\r\n AND '20240630'\r\n",
                   object->CInput()->StrWherePeriodo);

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

TEST(DeclarationText, SingleCompanyDiffersFromLinkedCompaniesOnlyWhereTheLinkedCompaniesNeedIt) {
  std::string single = Golden(kQuarterlyLinkedFrenchMarked);
  single = Edit(single,
                "SELECT 7 AS IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF, \r\nCG41_",
                "SELECT IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF, \r\nCG41_", 1);
  single = Edit(single,
                "SELECT 7 AS IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF, \r\nNULL",
                "SELECT IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF,  \r\nNULL", 1);
  single = Edit(single, " FROM VIN01_INTRA WHERE IN01_DITTA_CG18 IN(7,9)\r\n",
                " FROM VIN01_INTRA WHERE IN01_DITTA_CG18 = 7\r\n", 2);
  single = Edit(single, "AND ISNULL(RIGHE_RETT.IN02_SEZDOG,0) = ISNULL(VIN01_INTRA.IN02_SEZDOG,0)\r\n", "", 2);
  single = Edit(single, "AND ISNULL(ALIAS.CG41_SEZIONALE,'') = ISNULL(VIN01_INTRA.CG41_SEZIONALE,'')",
                "AND ALIAS.CG41_SEZIONALE = VIN01_INTRA.CG41_SEZIONALE", 1);
  single = Edit(single, "AND ISNULL(ALIAS.CG41_SEZIONALE,0) = ISNULL(VIN01_INTRA.CG41_SEZIONALE,0)",
                "AND ALIAS.CG41_SEZIONALE = VIN01_INTRA.CG41_SEZIONALE", 1);

  auto services = std::make_shared<TestServices>();
  auto object = QuarterlyLinkedFrench(services);
  object->CInput()->CheckPiuAttivita = Variant::Integer(0);
  declaration::BuildDeclarationStatement(object->context());
  EXPECT_SAME_TEXT(single, object->context().StringaSQLModuloCompleta);
  EXPECT_EQ(services->script->runs, 0);

  // Any CheckPiuAttivita other than 0 (after SeNullo) means linked companies.
  object->CInput()->CheckPiuAttivita = Variant::String("-1");
  declaration::BuildDeclarationStatement(object->context());
  EXPECT_SAME_TEXT(Golden(kQuarterlyLinkedFrenchMarked), object->context().StringaSQLModuloCompleta);
  EXPECT_EQ(services->script->runs, 2);
}

TEST(DeclarationText, OtherPeriodKinds) {
  const std::string base = Golden(kQuarterlyLinkedFrenchMarked);
  const std::string partnerPeriod = " AND " + kCompetenceDate + " BETWEEN '20240401'\r\n AND '20240630'\r\n";
  struct Case {
    const char* name;
    Variant tipoIntra;
    Variant periodo;
    std::string expected;
    std::string wherePeriodo;
  };
  const std::vector<Case> cases = {
      // A quarter is declared in its last month only: the lines of May are none.
      {"quarterly in May", Variant::Integer(2), Variant::Integer(5),
       Edit(Edit(Edit(base, "'20240401'", "'20240301'", 4), "'20240630'", "'20240531'", 6), "         ) X \r\n",
            "         ) X \r\n WHERE 0 = 1 \r\n", 1),
       " AND " + kCompetenceDate + " BETWEEN '20240301'\r\n AND '20240531'\r\n"},
      // The year whatever the month says.
      {"annual", Variant::Integer(3), Variant::Integer(5),
       Edit(Edit(base, "'20240401'", "'20240101'", 4), "'20240630'", "'20241231'", 6),
       " AND " + kCompetenceDate + " BETWEEN '20240101'\r\n AND '20241231'\r\n"},
      // No period at all, and a correction limit without a date.
      {"another kind", Variant::Integer(4), Variant(),
       Edit(Edit(Edit(base, partnerPeriod, "", 2),
                 " AND ISNULL(ALIAS.IN01_DTCOMPINTRA , ISNULL(ALIAS.CG41_DATAREGIVA, ALIAS.CG41_DATAREG)) BETWEEN "
                 "'20240401' AND '20240630'\r\n",
                 "", 2),
            "<= '20240630'\r\n", "<= \r\n", 2),
       ""},
      {"no kind", Variant(), Variant(),
       Edit(Edit(Edit(base, partnerPeriod, "", 2),
                 " AND ISNULL(ALIAS.IN01_DTCOMPINTRA , ISNULL(ALIAS.CG41_DATAREGIVA, ALIAS.CG41_DATAREG)) BETWEEN "
                 "'20240401' AND '20240630'\r\n",
                 "", 2),
            "<= '20240630'\r\n", "<= \r\n", 2),
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto object = QuarterlyLinkedFrench(std::make_shared<TestServices>());
    object->CInput()->TipoIntra = c.tipoIntra;
    object->CInput()->PeriodoStampa = c.periodo;
    object->CInput()->StrWherePeriodo = "stale";
    declaration::DefinisciStringaPerIntraSuModuloPiuAttivita(object->context());
    EXPECT_EQ(object->Stato(), Variant::Integer(0));
    EXPECT_SAME_TEXT(c.expected, object->context().StringaSQLModuloCompleta);
    EXPECT_SAME_TEXT(c.wherePeriodo, object->CInput()->StrWherePeriodo);
  }
}

// The rewrites made downstream find their anchors: the nomenclature check
// splits the lines again by inserting columns after these pieces, the form
// data put INTO after the last column, and both cut at ORDER BY.
TEST(DeclarationText, AnchorsOfTheLaterRewrites) {
  struct Anchor {
    std::string_view text;
    int single;
    int linked;
  };
  const Anchor anchors[] = {
      {"SELECT IN01_DITTA_CG18,", 3, 1},   {"GROUP BY IN01_DITTA_CG18,", 3, 3},
      {"AS IN01_DITTA_CG18,", 0, 2},       {"AS RETTIFICAVAL", 3, 3},
      {"GROUP BY", 3, 3},                  {"MAX(RETTIFICAVAL) AS RETTIFICAVAL", 1, 1},
      {"ORDER BY", 1, 1},                  {"CG41_DATAREG ", 0, 0},
      {"NOMENCLATURA_ANNORIF", 4, 4},
  };
  auto count = [](const std::string& text, std::string_view piece) {
    int n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
  };
  auto single = MonthlySales(std::make_shared<TestServices>());
  declaration::DefinisciStringaPerIntraSuModulo(single->context());
  auto linked = QuarterlyLinkedFrench(std::make_shared<TestServices>());
  declaration::DefinisciStringaPerIntraSuModuloPiuAttivita(linked->context());
  for (const Anchor& anchor : anchors) {
    SCOPED_TRACE(std::string(anchor.text));
    EXPECT_EQ(count(single->context().StringaSQLModuloCompleta, anchor.text), anchor.single);
    EXPECT_EQ(count(linked->context().StringaSQLModuloCompleta, anchor.text), anchor.linked);
  }
  // Both texts begin with the outer SELECT, which the form data replace.
  EXPECT_EQ(single->context().StringaSQLModuloCompleta.rfind("SELECT ", 0), 0u);
  EXPECT_EQ(Published(*linked).rfind("SELECT ", 0), 0u);
  EXPECT_EQ(count(Published(*single), "NOMENCLATURA_ANNORIF"), 0);
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
  EXPECT_SAME_TEXT(Edit(Golden(kQuarterlyLinkedFrenchMarked), "IN(7,9)", "IN()", 2),
                   object->context().StringaSQLModuloCompleta);

  // A service that cannot be created is a failure of GetDitteCollegate.
  services->noService = true;
  EXPECT_TRUE(declaration::GetDitteCollegate(object->context()).IsEmpty());
  EXPECT_EQ(object->Stato(), Variant::Integer(91));
  EXPECT_EQ(object->Errore(), Variant::String("Object variable or With block variable not set in GetDitteCollegate"));
}

}  // namespace
}  // namespace zelmora
