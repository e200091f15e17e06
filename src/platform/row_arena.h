// The declarations live in the public header include/zelmora/row_arena.h.
#pragma once

#include "zelmora/row_arena.h"
