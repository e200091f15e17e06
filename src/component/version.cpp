#include "zelmora/version.h"

namespace zelmora {

const char* LibraryVersion() noexcept { return ZELMORA_VERSION; }

}  // namespace zelmora
