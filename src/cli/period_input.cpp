#include "cli/period_input.h"

namespace zelmora::cli {

std::shared_ptr<CLSIN_INPUTINTRA> PeriodInput(const std::string& connection, int32_t company, int year, int period) {
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->StringaDiConnessione = Variant::String(connection);
  in->Ditta = Variant::Long(company);
  in->Anno = Variant::Integer(static_cast<int16_t>(year));
  in->PeriodoStampa = Variant::Integer(static_cast<int16_t>(period));
  in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  return in;
}

}  // namespace zelmora::cli
