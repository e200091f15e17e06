// The declarations live in the public header include/zelmora/variant.h.
#pragma once

#include "zelmora/variant.h"
