// zelmora: the component that prepares Italian INTRASTAT declarations.
// Including this header gives a program the whole public surface: the
// business object and its parameter objects, the class factory, the values
// and recordsets they exchange, and the host platform's services.
#pragma once

#include "component/class_factory.h"
#include "component/clsin_inputintra.h"
#include "component/clsin_intrabo.h"
#include "component/clsin_ouputintra.h"
#include "component/enums.h"
#include "platform/connection.h"
#include "platform/date.h"
#include "platform/decimal.h"
#include "platform/dispatch_object.h"
#include "platform/error.h"
#include "platform/host_services.h"
#include "platform/recordset.h"
#include "platform/report.h"
#include "platform/text_file.h"
#include "platform/variant.h"
