// The declarations live in the public header include/zelmora/host_services.h.
#pragma once

#include "zelmora/host_services.h"
