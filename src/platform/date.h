// The declarations live in the public header include/zelmora/date.h.
#pragma once

#include "zelmora/date.h"
