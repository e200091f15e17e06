// The database client's recordset as the component uses it: typed fields, a
// shared store of rows, and per-recordset cursor and filter. Results of a
// connection's Execute are disconnected snapshots built with FromRows; an
// in-memory recordset is built by appending fields and calling Open().
// Clones share the rows (a row added or changed through one is seen by the
// other) but each has its own current row and its own filter.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zelmora/object.h"
#include "zelmora/row_arena.h"
#include "zelmora/variant.h"

// The C library defines EOF as a macro, which would turn the database
// client's EOF() below into "(-1)()". The macro is withdrawn wherever
// recordsets are used; std::char_traits<char>::eof() gives the same value.
#ifdef EOF
#undef EOF
#endif

namespace zelmora {

class Connection;

// The database client's type codes (DataTypeEnum).
enum class DataType : int32_t {
  Empty = 0,
  SmallInt = 2,
  Integer = 3,
  Single = 4,
  Double = 5,
  Currency = 6,
  Date = 7,
  Boolean = 11,
  Variant = 12,
  Decimal = 14,
  TinyInt = 16,
  BigInt = 20,
  Char = 129,
  WChar = 130,
  Numeric = 131,
  DBDate = 133,
  DBTimeStamp = 135,
  VarChar = 200,
  LongVarChar = 201,
  VarWChar = 202,
  LongVarWChar = 203,
};

// Field attribute: the field may hold Null.
constexpr int32_t kFieldIsNullable = 32;
// Cursor and lock values as the component passes them.
constexpr int32_t kCursorDynamic = 2;
constexpr int32_t kLockOptimistic = 3;
// AbsolutePosition when there is no current row.
constexpr int32_t kPositionUnknown = -1;
constexpr int32_t kPositionBOF = -2;
constexpr int32_t kPositionEOF = -3;

// One field of a recordset: name, type code, size, attributes, precision, scale.
struct FieldInfo {
  std::string name;
  DataType type = DataType::Empty;
  int32_t definedSize = 0;
  int32_t attributes = 0;
  uint8_t precision = 0;
  uint8_t numericScale = 0;
};

// The values of one row, one per field. The rows a backend reads live in
// the arena of the recordset that holds them; any other row is on the heap.
using Row = std::vector<Variant, RowAllocator<Variant>>;

// A table of rows with typed fields, a current row and a filter: the
// results of queries and the in-memory data sets the component publishes.
class Recordset : public Object {
 public:
  Recordset();
  ~Recordset() override;
  std::string_view Kind() const override { return "Recordset"; }

  // --- building -----------------------------------------------------------
  // Fields().Append(name, type, size, attributes) before Open(); precision
  // and scale are set on the appended field through MutableField().
  void AppendField(std::string name, DataType type, int32_t definedSize = 0, int32_t attributes = 0);
  FieldInfo& MutableField(size_t index);
  int32_t CursorType = 0;
  int32_t LockType = 1;
  // Opens an in-memory recordset (no source) with the appended fields.
  void Open();
  // Opens over a command run on a connection: Execute(source, kCmdText),
  // whose fields and rows become this recordset's own snapshot.
  void Open(std::string_view source, const std::shared_ptr<Connection>& connection, int32_t cursorType = 0,
            int32_t lockType = 1);
  // A disconnected snapshot, as database backends return it; open, first row
  // current. `arena`, when given, is where the rows were allocated: the
  // recordset keeps it as long as the rows.
  static std::shared_ptr<Recordset> FromRows(std::vector<FieldInfo> fields, std::vector<Row> rows,
                                             std::unique_ptr<RowArena> arena = nullptr);
  bool IsOpen() const;

  // --- fields -------------------------------------------------------------
  size_t FieldCount() const;
  const FieldInfo& Field(size_t index) const;
  // First field with that name (case-insensitive); nullopt when none.
  std::optional<size_t> FieldIndex(std::string_view name) const;

  // Value of a field of the current row. Errors: 3265 for an unknown field,
  // 3021 when there is no current row.
  Variant Value(std::string_view name) const;
  Variant Value(size_t index) const;
  // Assigns to a field of the current row, converted to the field's type
  // (text to a decimal field becomes a Decimal, and so on); Null stays Null.
  void SetValue(std::string_view name, const Variant& value);
  void SetValue(size_t index, const Variant& value);

  // --- navigation ---------------------------------------------------------
  void AddNew();     // appends a row to the shared rows and makes it current
  void MoveFirst();  // 3021 when no row is visible
  void MoveNext();   // 3021 at EOF
  bool BOF() const;
  bool EOF() const;
  int32_t RecordCount() const;       // visible rows
  int32_t AbsolutePosition() const;  // from 1 among visible rows, or kPosition*

  // Filter criterion: "Field op value" joined by AND/OR with parentheses;
  // operators = <> < > <= >= LIKE; values are numbers, 'text' or #dates#.
  // A comparison whose field is Null is never true. Setting a filter makes
  // the first visible row current; "" removes it. A criterion that does not
  // parse fails with 3001 and leaves the previous filter in place.
  void SetFilter(std::string_view criteria);
  const std::string& Filter() const;
  // One comparison, searched forward from the current row (inclusive);
  // when nothing matches the recordset is at EOF.
  void Find(std::string_view criterion);

  std::shared_ptr<Recordset> Clone();

  // Rows visible under the current filter, in order, without moving the
  // cursor (for printing and serialising).
  std::vector<const Row*> VisibleRows() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

using RecordsetPtr = std::shared_ptr<Recordset>;

}  // namespace zelmora
