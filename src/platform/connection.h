// The declarations live in the public header include/zelmora/connection.h.
#pragma once

#include "zelmora/connection.h"
