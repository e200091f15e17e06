// zelmora: the component that prepares Italian INTRASTAT declarations.
// Including this header gives a program the whole public surface: the
// business object and its parameter objects, the class factory, the values
// and recordsets they exchange, and the host platform's services.
#pragma once

#include "zelmora/class_factory.h"
#include "zelmora/clsin_inputintra.h"
#include "zelmora/clsin_intrabo.h"
#include "zelmora/clsin_ouputintra.h"
#include "zelmora/company.h"
#include "zelmora/connection.h"
#include "zelmora/date.h"
#include "zelmora/decimal.h"
#include "zelmora/dispatch_object.h"
#include "zelmora/enums.h"
#include "zelmora/error.h"
#include "zelmora/files.h"
#include "zelmora/host_services.h"
#include "zelmora/linked_companies.h"
#include "zelmora/object.h"
#include "zelmora/recordset.h"
#include "zelmora/report.h"
#include "zelmora/row_arena.h"
#include "zelmora/variant.h"
#include "zelmora/version.h"
