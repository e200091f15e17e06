// The host application's database as the component reads it, laid out in
// SQLite: the Intrastat documents and lines, the accounting entries, the
// parties with their registry, the countries, the goods and service
// nomenclature, the companies and their links, and the two views the
// component queries (VIN01_INTRA, VCG16_ANAGRALLADATA).
//
// Columns carry SQL Server-like declared types (INT, DECIMAL(18,2),
// VARCHAR(n), DATETIME, ...) which the SQLite backend maps to
// recordset field types. Only key columns are NOT NULL: every other column
// may be Null, as on the host's server. Dates are written as 'YYYYMMDD';
// note that SQLite gives DATETIME columns numeric affinity, so such a value
// is kept as the integer YYYYMMDD and reads back as the same eight digits.
//
// The text columns carry no collation: the file opens in any SQLite tool.
// The server's text comparison (the TSQL collation) is applied by the
// statements zelmora's own connection runs, which name it wherever text is
// compared, grouped or ordered.
#pragma once

#include <string_view>

struct sqlite3;

namespace zelmora {

// The statements that create the tables, indexes and views, separated by
// ";" and line breaks, in an order that runs on an empty database.
std::string_view HostSchemaDdl();

// Runs HostSchemaDdl() on `db` inside one transaction, with zelmora's own
// tables (extension_schema.h). Throws zelmora::Error
// (SQLite's result code and message) when a statement fails, for instance
// because a table already exists; nothing is left created then.
void CreateHostSchema(sqlite3* db);

}  // namespace zelmora
