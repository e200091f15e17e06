#pragma once
#include "support/database.h"
