// The enumerations the component publishes to its hosts.
#pragma once

#include <cstdint>

namespace zelmora {

// The kind of message given to ShowMessage.
enum class TipoMessaggio : int32_t { MsgErrore = 1, MsgAvviso = 2, MsgInformazione = 3, MsgRichiesta = 4 };
// Whether an operation gives a recordset or a text.
enum class TipoOperazioneEnum : int32_t { Recordset = 0, stringa = 1 };
// The submission layout: before 2010 or from 2010 on (CInput.AnnoRiferimentoIntra).
enum class AnnoRiferimentoIntraEnum : int32_t { AnnoRiferimentoAnte2010 = 0, AnnoRiferimentoPost2010 = 1 };
// The agency a telematic submission goes to.
enum class TipoInvioTelematicoIntraEnum : int32_t { AgenziaDogane = 0, AgenziaEntrate = 1 };

}  // namespace zelmora
