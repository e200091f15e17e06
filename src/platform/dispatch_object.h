// The declarations live in the public header include/zelmora/dispatch_object.h.
#pragma once

#include "zelmora/dispatch_object.h"
