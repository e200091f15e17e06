// The tables zelmora keeps beside the host's: what the layout in force from
// 2022 needs and the host schema has no column for. ZL01_NATURAB holds the
// nature of transaction's column B of an Intrastat line (keyed as the line:
// company, registration, line number; a line without a row, or with a blank,
// has none). ZL02_CALLOFFSTOCK holds the call-off stock movements of section
// 5 (company, year and month, the consignee's member state and VAT code, the
// operation 1 transferred / 2 returned / 3 replaced consignee, and the new
// consignee's state and VAT code for operation 3).
#pragma once

#include <string_view>

struct sqlite3;

namespace zelmora {

// The statements that create the two tables when they are missing.
std::string_view ExtensionSchemaDdl();

// Adds the tables that `db` lacks, in one transaction; true when any was
// added. Throws zelmora::Error when a statement fails.
bool UpgradeExtensionSchema(sqlite3* db);

}  // namespace zelmora
