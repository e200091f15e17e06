// The declarations live in the public header include/zelmora/recordset.h.
#pragma once

#include "zelmora/recordset.h"
