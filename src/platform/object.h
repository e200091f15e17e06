// The declarations live in the public header include/zelmora/object.h.
#pragma once

#include "zelmora/object.h"
