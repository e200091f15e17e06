// The declarant's input for the telematic submission of March 2024 as a host
// sets it (company 1, user ABCD, sent on 15 April, submission 7), as the
// CInput of a host script.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace zelmora::testing {

inline nlohmann::json MarchSubmissionInput(const std::string& connectionString, int tipoStampa) {
  return {{"StringaDiConnessione", connectionString},
          {"Ditta", 1},
          {"Anno", 2024},
          {"PeriodoStampa", 3},
          {"TipoStampa", tipoStampa},
          {"AnnoRiferimentoIntra", 1},
          {"CodiceUtenteInvioTelematico", "ABCD"},
          {"DataInvioTelematico", {{"date", "2024-04-15"}}},
          {"ProgressivoInvioTelematico", 1},
          {"NumFloppy", 7},
          {"PartitaIva", "01234567890"},
          {"CodiceSezioneDoganale", 28100},
          {"ProgressivoSedeUtente", 1}};
}

}  // namespace zelmora::testing
