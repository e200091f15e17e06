// The declarations live in the public header include/zelmora/class_factory.h.
#pragma once

#include "zelmora/class_factory.h"
