// The enumerations the component publishes to its hosts.
#pragma once

#include <cstdint>

namespace zelmora {

enum class TipoMessaggio : int32_t { MsgErrore = 1, MsgAvviso = 2, MsgInformazione = 3, MsgRichiesta = 4 };
enum class TipoOperazioneEnum : int32_t { Recordset = 0, stringa = 1 };
enum class AnnoRiferimentoIntraEnum : int32_t { AnnoRiferimentoAnte2010 = 0, AnnoRiferimentoPost2010 = 1 };
enum class TipoInvioTelematicoIntraEnum : int32_t { AgenziaDogane = 0, AgenziaEntrate = 1 };

}  // namespace zelmora
