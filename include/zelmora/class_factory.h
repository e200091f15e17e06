// The class factory hosts on this platform create the component's objects
// through: "ZELMORA.CLSIN_INTRABO" and "ZELMORA.CLSIN_INPUTINTRA" (names
// compare case-insensitively). The output object is not creatable: the
// business object makes its own.
#pragma once

#include <memory>
#include <string_view>

#include "zelmora/host_services.h"
#include "zelmora/object.h"

namespace zelmora {

// Error 429 for a name the component does not register.
ObjectPtr CreateObject(std::string_view progId, std::shared_ptr<HostServices> services = nullptr);

}  // namespace zelmora
