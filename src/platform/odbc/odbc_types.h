// The type of a result column as an ODBC driver describes it (SQL type
// code, column size, decimal digits), in the host server's terms, so that a
// recordset read over ODBC has the fields the SQLite backend gives for the
// same declared column.
#pragma once

#include <cstdint>
#include <string>

#include "platform/recordset.h"
#include "platform/sqlite/tsql_types.h"

namespace zelmora {

// Unknown for codes with no server type here (binary, GUID, time of day):
// such columns are read as text.
tsql::SqlType OdbcColumnType(int16_t sqlType, uint64_t columnSize, int16_t decimalDigits);

// The recordset field of such a column; an Unknown type is a variable text
// field of the column's size.
FieldInfo OdbcField(std::string name, int16_t sqlType, uint64_t columnSize, int16_t decimalDigits);

}  // namespace zelmora
