// The declarations live in the public header include/zelmora/clsin_intrabo.h;
// the library's own code also sees the object's state (IntraContext).
#pragma once

#include "component/intra_context.h"
#include "zelmora/clsin_intrabo.h"
