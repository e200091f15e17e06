// The host server's data types as the T-SQL translator tracks them: every
// column and expression of a statement has one, so that conversions,
// comparisons, decimal scales and the recordset's field types follow the
// server's rules and not SQLite's dynamic typing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/recordset.h"

namespace zelmora::tsql {

enum class TypeKind : uint8_t {
  Unknown,  // no declared type (a view column computed by an expression)
  Null,     // the untyped NULL literal: takes the type of what it meets
  Bit,
  TinyInt,
  SmallInt,
  Int,
  BigInt,
  Decimal,
  Real,
  Float,
  Char,
  VarChar,
  NChar,
  NVarChar,
  DateTime,
};

// How a value of the type is held inside SQLite: numbers as INTEGER or REAL,
// text as TEXT, dates as the number YYYYMMDD (YYYYMMDD.HHMMSS with a time).
enum class Family : uint8_t { Unknown, Null, Number, Text, Date };

struct SqlType {
  static constexpr int kMaxLength = -1;  // VARCHAR(MAX)

  TypeKind kind = TypeKind::Unknown;
  int length = 0;     // characters of a text type
  int precision = 0;  // decimal digits of a DECIMAL
  int scale = 0;      // decimals of a DECIMAL

  static SqlType Of(TypeKind kind);
  static SqlType Decimal(int precision, int scale);
  static SqlType Text(TypeKind kind, int length);

  Family family() const;
  bool IsUnknown() const { return kind == TypeKind::Unknown; }
  bool IsNull() const { return kind == TypeKind::Null; }
  bool IsText() const { return family() == Family::Text; }
  bool IsNumber() const { return family() == Family::Number; }
  bool IsDate() const { return kind == TypeKind::DateTime; }
  bool IsInteger() const;  // BIT to BIGINT
  bool IsUnicode() const { return kind == TypeKind::NChar || kind == TypeKind::NVarChar; }

  // The declaration as a CREATE TABLE writes it: "DECIMAL(38,2)",
  // "VARCHAR(15)", "INT"; "" for Unknown.
  std::string Declaration() const;
  // The server's lower-case name for messages: "int", "varchar", "numeric".
  std::string_view MessageName() const;

  friend bool operator==(const SqlType&, const SqlType&) = default;
};

// A type written in a statement (CAST target, CREATE TABLE) or declared in
// SQLite's schema. `first` and `second` are the numbers in parentheses (-1
// when absent; first is kMaxLength for MAX). Unknown for names it does not
// know. In CAST a text type without length is 30 characters long, in a
// declaration 1.
SqlType TypeFromName(std::string_view name, int first, int second, bool inCast);
// A declared type as SQLite keeps it ("DECIMAL(18,2)", "VARCHAR(8)").
SqlType ParseDeclaredType(std::string_view declaration);

// The type of a value that mixes two types (UNION columns, CASE branches,
// COALESCE, both sides of a comparison): the one of higher precedence,
// with decimal digits and text lengths widened to hold both.
SqlType CommonType(const SqlType& a, const SqlType& b);
// The type of a + b, a - b, a * b, a / b, a % b on numbers.
SqlType ArithmeticType(char op, const SqlType& a, const SqlType& b);
// Aggregate result types.
SqlType SumType(const SqlType& argument);
SqlType AvgType(const SqlType& argument);

// The recordset field of a result column of the type (Unknown and Null are
// resolved by the caller from the values).
FieldInfo FieldFor(std::string name, const SqlType& type);

}  // namespace zelmora::tsql
