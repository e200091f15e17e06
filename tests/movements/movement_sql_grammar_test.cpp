// The texts the movement operations send, checked against the T-SQL grammar
// of sqlfluff: the line list with every filter of its own and in the host's
// filter mode, the browsing list with every filter, and the deletions.
#include <gtest/gtest.h>

#include <string>

#include "component/clsin_inputintra.h"
#include "movements/movement_sql.h"
#include "support/sqlfluff.h"

namespace zelmora {
namespace {

CLSIN_INPUTINTRA EveryFilter() {
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

TEST(MovementSqlGrammar, TheLineListWithEveryFilterParses) { testing::ExpectTsqlParses(movements::MovementListSql(EveryFilter())); }

TEST(MovementSqlGrammar, TheLineListInTheHostsFilterModeParses) {
  CLSIN_INPUTINTRA in;
  in.Ditta = Variant::Integer(1);
  in.OperazioneRif = Variant::Integer(9);
  in.ENHFiltro = Variant::String("AND CG41_SEZIONALE = 'A1'");
  in.ENHOrdinamentoMovIntra = Variant::String("CG41_DATAREG DESC");
  testing::ExpectTsqlParses(movements::MovementListSql(in));
}

TEST(MovementSqlGrammar, TheBrowsingListWithEveryFilterParses) {
  CLSIN_INPUTINTRA in = EveryFilter();
  in.OperazioneRif = Variant::Integer(9);
  testing::ExpectTsqlParses(movements::DocumentBrowseSql(in));
}

TEST(MovementSqlGrammar, TheDeletionsParse) {
  CLSIN_INPUTINTRA in;
  in.Ditta = Variant::Integer(1);
  in.NumeroRegistrazione = Variant::Long(13);
  testing::ExpectTsqlParses(movements::DeleteLinesSql(in) + "\r\n" + movements::DeleteHeaderSql(in));
}

}  // namespace
}  // namespace zelmora
