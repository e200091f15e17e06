// The input most business-object tests start from: company 1's monthly
// sales declaration of May 2024 in the layout from 2010, over the database
// of a connection string.
#pragma once

#include <memory>
#include <string>

#include "cli/active_interface.h"
#include "facade/clsin_intrabo.h"

namespace zelmora::testing {

inline std::shared_ptr<CLSIN_INPUTINTRA> MaySales(const std::string& connectionString) {
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->StringaDiConnessione = Variant::String(connectionString);
  in->Ditta = Variant::Integer(1);
  in->Anno = Variant::Integer(2024);
  in->PeriodoStampa = Variant::Integer(5);
  in->TipoIntra = Variant::Integer(1);
  in->TipoStampa = Variant::Integer(0);
  in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  return in;
}

// The input the statement-text tests build their texts from: company 7's
// monthly sales of May 2024 in the layout from 2010, with a change of
// periodicity, without a connection.
inline std::shared_ptr<CLSIN_INPUTINTRA> StatementInput() {
  auto in = std::make_shared<CLSIN_INPUTINTRA>();
  in->Ditta = Variant::Long(7);
  in->Anno = Variant::Integer(2024);
  in->PeriodoStampa = Variant::Integer(5);
  in->TipoIntra = Variant::Integer(1);
  in->CambioPeriodicita = true;
  in->TipoStampa = Variant::Integer(0);
  in->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  return in;
}

// The same input given to `object`, with an active interface of the
// Italian localisation.
inline std::shared_ptr<CLSIN_INPUTINTRA> MaySales(CLSIN_INTRABO& object, const std::string& connectionString) {
  auto in = MaySales(connectionString);
  object.SetCInput(in);
  object.SetActiveInterface(cli::ActiveInterface(Variant::Integer(0)));
  return in;
}

}  // namespace zelmora::testing
