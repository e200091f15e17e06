// The declarations live in the public header include/zelmora/error.h.
#pragma once

#include "zelmora/error.h"
