#include "platform/recordset.h"

#include <deque>
#include <limits>
#include <utility>

#include "platform/connection.h"
#include "platform/error.h"
#include "platform/recordset_filter.h"
#include "platform/text_util.h"

namespace zelmora {
namespace {

// The fields and rows that a recordset and its clones share. Rows live in a
// deque so that a pointer to a row stays valid while rows are appended. The
// arena the rows were read into, if any, goes after them.
struct RowStore {
  std::vector<FieldInfo> fields;
  std::unique_ptr<RowArena> arena;
  std::deque<Row> rows;
};

Error NotAllowedWhileOpen() { return {3705, "Operation is not allowed when the object is open."}; }

// Decimal with exactly `scale` decimals: rounded when it has more (half away
// from zero, as the database rounds on a conversion to a fixed scale),
// extended with zeros when it has fewer.
Decimal Rescale(const Decimal& value, int scale) {
  Decimal rounded = value.scale() > scale ? value.RoundHalfAwayFromZero(scale) : value;
  // Largest mantissa a Decimal holds: 2^96 - 1.
  constexpr Decimal::Mantissa kMax = (static_cast<Decimal::Mantissa>(1) << 96) - 1;
  Decimal::Mantissa m = rounded.mantissa();
  for (int s = rounded.scale(); s < scale; ++s) {
    m *= 10;
    if (m > kMax || m < -kMax) throw Error::Overflow();
  }
  return Decimal::FromParts(m, scale);
}

// A value as a field of the given type holds it.
Variant ConvertForField(const FieldInfo& field, const Variant& value) {
  // A database field has no "never assigned" state: Empty is stored as Null.
  if (value.IsEmptyOrNull()) return Variant::Null();
  switch (field.type) {
    case DataType::Decimal:
    case DataType::Numeric:
      return Variant::Dec(Rescale(value.ToDecimal(), field.numericScale));
    case DataType::Currency:
      return Variant::Dec(Rescale(value.ToDecimal(), 4));
    case DataType::Char:
    case DataType::WChar:
    case DataType::VarChar:
    case DataType::LongVarChar:
    case DataType::VarWChar:
    case DataType::LongVarWChar:
      return Variant::String(value.ToString());
    case DataType::Date:
    case DataType::DBDate:
    case DataType::DBTimeStamp:
      return Variant::FromDate(value.ToDate());
    case DataType::SmallInt:
      return Variant::Integer(value.ToInteger());
    case DataType::TinyInt: {
      const int16_t v = value.ToInteger();
      if (v < -128 || v > 127) throw Error::Overflow();
      return Variant::Integer(v);
    }
    case DataType::Integer:
      return Variant::Long(value.ToLong());
    case DataType::BigInt: {
      const Decimal whole = value.ToDecimal().RoundHalfEven(0);
      const Decimal::Mantissa m = Rescale(whole, 0).mantissa();
      if (m > std::numeric_limits<int64_t>::max() || m < std::numeric_limits<int64_t>::min())
        throw Error::Overflow();
      return Variant::Whole(static_cast<int64_t>(m));
    }
    case DataType::Single:
    case DataType::Double:
      return Variant::Double(value.ToDouble());
    case DataType::Boolean:
      return Variant::Boolean(value.ToBoolean());
    case DataType::Empty:
    case DataType::Variant:
      break;
  }
  return value;
}

}  // namespace

struct Recordset::Impl {
  enum class At { Bof, Row, Eof };

  std::shared_ptr<RowStore> store = std::make_shared<RowStore>();
  bool open = false;
  std::string filterText;
  // Present while a filter is set; then `visible` lists the rows it lets
  // through (indexes into the store) plus the rows this recordset added.
  // Without a filter every row of the store is visible, including rows
  // added later through a clone.
  std::optional<FilterCriteria> filter;
  std::vector<size_t> visible;
  At at = At::Eof;
  size_t pos = 0;  // index among visible rows when at == Row

  void RequireOpen() const {
    if (!open) throw Error::ObjectClosed();
  }
  size_t VisibleCount() const { return filter ? visible.size() : store->rows.size(); }
  size_t StoreIndex(size_t visiblePos) const { return filter ? visible[visiblePos] : visiblePos; }

  void GoFirst() {
    if (VisibleCount() == 0) {
      at = At::Eof;
    } else {
      at = At::Row;
      pos = 0;
    }
  }

  Row& CurrentRow() const {
    RequireOpen();
    if (at != At::Row || pos >= VisibleCount()) throw Error::NoCurrentRecord();
    return store->rows[StoreIndex(pos)];
  }

  size_t CheckedIndex(size_t index) const {
    RequireOpen();
    if (index >= store->fields.size()) throw Error::ItemNotFound();
    return index;
  }

  size_t IndexOf(std::string_view name) const {
    RequireOpen();
    const auto& fields = store->fields;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (EqualsIgnoreCase(fields[i].name, name)) return i;
    }
    throw Error::ItemNotFound();
  }
};

Recordset::Recordset() : impl_(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;

void Recordset::AppendField(std::string name, DataType type, int32_t definedSize, int32_t attributes) {
  if (impl_->open) throw NotAllowedWhileOpen();
  FieldInfo field;
  field.name = std::move(name);
  field.type = type;
  field.definedSize = definedSize;
  field.attributes = attributes;
  impl_->store->fields.push_back(std::move(field));
}

FieldInfo& Recordset::MutableField(size_t index) {
  if (index >= impl_->store->fields.size()) throw Error::ItemNotFound();
  return impl_->store->fields[index];
}

void Recordset::Open() {
  if (impl_->open) throw NotAllowedWhileOpen();
  impl_->open = true;
  impl_->GoFirst();
}

void Recordset::Open(std::string_view source, const std::shared_ptr<Connection>& connection, int32_t cursorType,
                     int32_t lockType) {
  if (impl_->open) throw NotAllowedWhileOpen();
  if (!connection) throw Error::ObjectNotSet();
  RecordsetPtr result = connection->Execute(source, kCmdText);
  CursorType = cursorType;
  LockType = lockType;
  if (!result) return;  // a command that returns no rows leaves the recordset closed
  // This recordset's own snapshot: later changes here do not reach the result.
  // Copied rows are on the heap: the result's arena goes with the result.
  auto store = std::make_shared<RowStore>();
  store->fields = result->impl_->store->fields;
  store->rows = result->impl_->store->rows;
  impl_->store = std::move(store);
  impl_->filter.reset();
  impl_->filterText.clear();
  impl_->visible.clear();
  impl_->open = result->impl_->open;
  impl_->GoFirst();
}

std::shared_ptr<Recordset> Recordset::FromRows(std::vector<FieldInfo> fields, std::vector<Row> rows,
                                               std::unique_ptr<RowArena> arena) {
  auto rs = std::make_shared<Recordset>();
  RowStore& store = *rs->impl_->store;
  store.arena = std::move(arena);
  for (Row& row : rows) {
    if (row.size() != fields.size()) throw Error::InvalidProcedureCall();
    store.rows.push_back(std::move(row));
  }
  store.fields = std::move(fields);
  rs->impl_->open = true;
  rs->impl_->GoFirst();
  return rs;
}

bool Recordset::IsOpen() const { return impl_->open; }

size_t Recordset::FieldCount() const { return impl_->store->fields.size(); }

const FieldInfo& Recordset::Field(size_t index) const {
  if (index >= impl_->store->fields.size()) throw Error::ItemNotFound();
  return impl_->store->fields[index];
}

std::optional<size_t> Recordset::FieldIndex(std::string_view name) const {
  const auto& fields = impl_->store->fields;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (EqualsIgnoreCase(fields[i].name, name)) return i;
  }
  return std::nullopt;
}

// The field is checked before the row: an unknown name is 3265 even when
// there is no current row.
Variant Recordset::Value(std::string_view name) const {
  const size_t index = impl_->IndexOf(name);
  return impl_->CurrentRow()[index];
}

Variant Recordset::Value(size_t index) const {
  impl_->CheckedIndex(index);
  return impl_->CurrentRow()[index];
}

void Recordset::SetValue(std::string_view name, const Variant& value) { SetValue(impl_->IndexOf(name), value); }

void Recordset::SetValue(size_t index, const Variant& value) {
  impl_->CheckedIndex(index);
  Row& row = impl_->CurrentRow();
  // Convert first: a failed conversion leaves the field as it was.
  row[index] = ConvertForField(impl_->store->fields[index], value);
}

void Recordset::AddNew() {
  impl_->RequireOpen();
  auto& rows = impl_->store->rows;
  rows.emplace_back(impl_->store->fields.size(), Variant::Null());
  if (impl_->filter) impl_->visible.push_back(rows.size() - 1);
  impl_->at = Impl::At::Row;
  impl_->pos = impl_->VisibleCount() - 1;
}

void Recordset::MoveFirst() {
  impl_->RequireOpen();
  if (impl_->VisibleCount() == 0) throw Error::NoCurrentRecord();
  impl_->at = Impl::At::Row;
  impl_->pos = 0;
}

void Recordset::MoveNext() {
  impl_->RequireOpen();
  if (EOF()) throw Error::NoCurrentRecord();
  if (impl_->at == Impl::At::Bof) {
    impl_->at = Impl::At::Row;
    impl_->pos = 0;
    return;
  }
  if (impl_->pos + 1 < impl_->VisibleCount()) {
    ++impl_->pos;
  } else {
    impl_->at = Impl::At::Eof;
  }
}

bool Recordset::BOF() const {
  impl_->RequireOpen();
  return impl_->at == Impl::At::Bof || impl_->VisibleCount() == 0;
}

bool Recordset::EOF() const {
  impl_->RequireOpen();
  return impl_->at == Impl::At::Eof || impl_->VisibleCount() == 0;
}

int32_t Recordset::RecordCount() const {
  impl_->RequireOpen();
  return static_cast<int32_t>(impl_->VisibleCount());
}

int32_t Recordset::AbsolutePosition() const {
  impl_->RequireOpen();
  if (impl_->VisibleCount() == 0) return kPositionUnknown;
  switch (impl_->at) {
    case Impl::At::Bof:
      return kPositionBOF;
    case Impl::At::Eof:
      return kPositionEOF;
    case Impl::At::Row:
      break;
  }
  return static_cast<int32_t>(impl_->pos + 1);
}

void Recordset::SetFilter(std::string_view criteria) {
  impl_->RequireOpen();
  if (TrimBlanks(criteria).empty()) {
    impl_->filter.reset();
    impl_->filterText.clear();
    impl_->visible.clear();
    impl_->GoFirst();
    return;
  }
  // Parse and bind before touching anything, so that a bad criterion leaves
  // the previous filter in place.
  FilterCriteria parsed = FilterCriteria::Parse(criteria);
  parsed.Bind(impl_->store->fields);
  std::vector<size_t> visible;
  const auto& rows = impl_->store->rows;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (parsed.Matches(rows[i])) visible.push_back(i);
  }
  impl_->filter = std::move(parsed);
  impl_->filterText = std::string(criteria);
  impl_->visible = std::move(visible);
  impl_->GoFirst();
}

const std::string& Recordset::Filter() const { return impl_->filterText; }

void Recordset::Find(std::string_view criterion) {
  impl_->RequireOpen();
  FilterCriteria parsed = FilterCriteria::ParseSingle(criterion);
  parsed.Bind(impl_->store->fields);
  size_t start = 0;
  switch (impl_->at) {
    case Impl::At::Bof:
      break;
    case Impl::At::Row:
      start = impl_->pos;
      break;
    case Impl::At::Eof:
      start = impl_->VisibleCount();
      break;
  }
  const size_t count = impl_->VisibleCount();
  for (size_t p = start; p < count; ++p) {
    if (parsed.Matches(impl_->store->rows[impl_->StoreIndex(p)])) {
      impl_->at = Impl::At::Row;
      impl_->pos = p;
      return;
    }
  }
  impl_->at = Impl::At::Eof;
}

std::shared_ptr<Recordset> Recordset::Clone() {
  impl_->RequireOpen();
  auto clone = std::make_shared<Recordset>();
  clone->impl_->store = impl_->store;
  clone->impl_->open = true;
  clone->CursorType = CursorType;
  clone->LockType = LockType;
  clone->impl_->GoFirst();
  return clone;
}

std::vector<const Row*> Recordset::VisibleRows() const {
  std::vector<const Row*> result;
  if (!impl_->open) return result;
  const size_t count = impl_->VisibleCount();
  result.reserve(count);
  for (size_t p = 0; p < count; ++p) result.push_back(&impl_->store->rows[impl_->StoreIndex(p)]);
  return result;
}

}  // namespace zelmora
