// The declarations live in the public header include/zelmora/decimal.h.
#pragma once

#include "zelmora/decimal.h"
