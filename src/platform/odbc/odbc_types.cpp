#include "platform/odbc/odbc_types.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>

namespace zelmora {
namespace {

using tsql::SqlType;
using tsql::TypeKind;

// The longest text a server column holds without MAX: 8000 bytes, 4000
// UTF-16 characters. A driver reports a MAX column as 0 or as more.
SqlType TextType(TypeKind kind, uint64_t size, uint64_t longest) {
  if (size == 0 || size > longest) return SqlType::Text(kind, SqlType::kMaxLength);
  return SqlType::Text(kind, static_cast<int>(size));
}

}  // namespace

SqlType OdbcColumnType(int16_t sqlType, uint64_t columnSize, int16_t decimalDigits) {
  switch (sqlType) {
    case SQL_BIT: return SqlType::Of(TypeKind::Bit);
    case SQL_TINYINT: return SqlType::Of(TypeKind::TinyInt);
    case SQL_SMALLINT: return SqlType::Of(TypeKind::SmallInt);
    case SQL_INTEGER: return SqlType::Of(TypeKind::Int);
    case SQL_BIGINT: return SqlType::Of(TypeKind::BigInt);
    case SQL_DECIMAL:
    case SQL_NUMERIC: {
      const int precision = static_cast<int>(std::clamp<uint64_t>(columnSize, 1, 38));
      return SqlType::Decimal(precision, std::clamp<int>(decimalDigits, 0, precision));
    }
    case SQL_REAL: return SqlType::Of(TypeKind::Real);
    case SQL_FLOAT:
    case SQL_DOUBLE: return SqlType::Of(TypeKind::Float);
    case SQL_CHAR: return TextType(TypeKind::Char, columnSize, 8000);
    case SQL_VARCHAR: return TextType(TypeKind::VarChar, columnSize, 8000);
    case SQL_LONGVARCHAR: return SqlType::Text(TypeKind::VarChar, SqlType::kMaxLength);
    case SQL_WCHAR: return TextType(TypeKind::NChar, columnSize, 4000);
    case SQL_WVARCHAR: return TextType(TypeKind::NVarChar, columnSize, 4000);
    case SQL_WLONGVARCHAR: return SqlType::Text(TypeKind::NVarChar, SqlType::kMaxLength);
    case SQL_DATETIME:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP: return SqlType::Of(TypeKind::DateTime);
    default: return SqlType::Of(TypeKind::Unknown);
  }
}

FieldInfo OdbcField(std::string name, int16_t sqlType, uint64_t columnSize, int16_t decimalDigits) {
  const SqlType type = OdbcColumnType(sqlType, columnSize, decimalDigits);
  if (!type.IsUnknown()) return tsql::FieldFor(std::move(name), type);
  const uint64_t size = columnSize == 0 || columnSize > 8000 ? 0 : columnSize;
  return tsql::FieldFor(std::move(name), size == 0 ? SqlType::Text(TypeKind::VarChar, SqlType::kMaxLength)
                                                   : SqlType::Text(TypeKind::VarChar, static_cast<int>(size)));
}

}  // namespace zelmora
