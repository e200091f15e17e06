// The declarations live in the public header include/zelmora/clsin_inputintra.h.
#pragma once

#include "zelmora/clsin_inputintra.h"
