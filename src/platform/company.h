// The declarations live in the public header include/zelmora/company.h.
#pragma once

#include "zelmora/company.h"
