// The nomenclature check as the component sends it, checked against
// sqlfluff's T-SQL grammar: derived from a complete monthly sales
// statement with the reference year, so that the rewrite's splices (the
// synthetic key, the split by reason and registration, the joins on the
// code tables) land where the grammar accepts them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cli/active_interface.h"
#include "component/clsin_intrabo.h"
#include "nomenclature/form_data_statements.h"
#include "nomenclature/nomenclature_procedures.h"
#include "support/sqlfluff.h"

namespace zelmora {
namespace {

TEST(NomenclatureSqlGrammar, TheErrorCheckOfAMonthParses) {
  CLSIN_INTRABO object;
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->Ditta = Variant::Long(7);
  in->Anno = Variant::Integer(2024);
  in->PeriodoStampa = Variant::Integer(5);
  in->TipoIntra = Variant::Integer(1);
  in->CambioPeriodicita = true;
  in->TipoStampa = Variant::Integer(0);
  in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  in->MaxProgrDatiInvio = 40;
  object.SetCInput(in);
  object.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));
  nomenclature::DefinisciStringaPerErroriNomenclatureSuModulo(object.context());
  ASSERT_EQ(object.Stato(), Variant::Integer(0));
  testing::ExpectTsqlParses(object.COutput()->StringaSQLErroriNomenclatura.Text());
}

TEST(NomenclatureSqlGrammar, TheBatchThatFlagsFormLinesParses) {
  testing::ExpectTsqlParses(nomenclature::FlagErrorsBatch("SELECT FAKEID FROM #DATIMODULOSTAMPE"));
  testing::ExpectTsqlParses(nomenclature::GatherSecondListBatch());
}

}  // namespace
}  // namespace zelmora
