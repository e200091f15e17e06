// The declarations live in the public header include/zelmora/enums.h.
#pragma once

#include "zelmora/enums.h"
