// The declarations live in the public header include/zelmora/clsin_ouputintra.h.
#pragma once

#include "zelmora/clsin_ouputintra.h"
