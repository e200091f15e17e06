// The declarations live in the public header include/zelmora/linked_companies.h.
#pragma once

#include "zelmora/linked_companies.h"
