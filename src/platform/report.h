// The declarations live in the public header include/zelmora/report.h.
#pragma once

#include "zelmora/report.h"
