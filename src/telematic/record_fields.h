// The building blocks of the fixed-width submission records: the two ways a
// field is filled (numbers right-aligned with leading zeros and cut on the
// left, texts left-aligned with trailing blanks and cut on the right), the
// date field, upper-casing, fast access to the columns of a declaration
// line, and the destination records go to (the submission text, or a file).
// Widths count characters, not bytes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "component/intra_context.h"
#include "platform/error.h"
#include "platform/large_buffer.h"
#include "platform/recordset.h"
#include "platform/text_file.h"
#include "platform/variant.h"

namespace zelmora::telematic {

// Z(n): the last n characters of "0" * n followed by `text`.
void AppendZ(std::string& out, std::string_view text, size_t n);
// T(n): the first n characters of `text` followed by n blanks.
void AppendT(std::string& out, std::string_view text, size_t n);
// A value's text as concatenation gives it (Empty and Null are "").
inline std::string TextOf(const Variant& value) { return value.Text(); }
// The same without a copy when the value is a text; otherwise the text is
// made in `scratch`.
std::string_view TextView(const Variant& value, std::string& scratch);
// The value's text without leading and trailing blanks.
std::string TrimmedText(const Variant& value);
std::string_view TrimmedView(const Variant& value, std::string& scratch);
// Day, month and two-digit year of a date value, six characters; six blanks
// when the value is Null or "". A value that is not a date fails with 13.
void AppendDate(std::string& out, const Variant& value);
// UCase: every letter upper-cased, accented Latin letters included.
void AppendUpper(std::string& out, std::string_view text);
std::string Upper(std::string_view text);

// The value compared with a whole number as the runtime's "=" does for a
// numeric literal: text is read as a number; Null and text that is not a
// number are never equal.
bool IsNumber(const Variant& value, int64_t number);
// The whole number an Integer or Long value holds (the codes of a
// declaration line); nullopt for any other kind of value.
std::optional<int32_t> SmallWhole(const Variant& value);

// Whole units of an exact amount: the fraction is dropped up to 0.49 and
// rounds one unit away from zero above it; a non-zero amount below one unit
// becomes 1 or -1. The result has no decimals.
Decimal RoundToWhole(const Decimal& amount);
// What ArrotondaImporto gives for a value, as a number: 0 for Null (its
// Empty) and for a value that is not a number (its failure).
Decimal RoundedOrZero(const Variant& amount);
// Z(n) of the text of a whole amount.
void AppendZ(std::string& out, const Decimal& whole, size_t n);

// One more record in the running count; the count is a 32-bit integer,
// so one past its largest value is an overflow (error 6).
inline void AddRecord(int32_t& conta) {
  if (conta == INT32_MAX) throw Error::Overflow();
  ++conta;
}

// The columns of a declaration line, looked up once per recordset; reading
// a column the recordset does not have fails with 3265, as reading the
// field by name does.
class LineColumns {
 public:
  LineColumns(const Recordset& rs, std::initializer_list<std::string_view> names);
  // The value of column `slot` (its place in the list given) in `row`.
  const Variant& Get(const Row& row, size_t slot) const {
    const std::optional<size_t>& index = indexes_[slot];
    if (!index) throw Error::ItemNotFound();
    return row[*index];
  }
  // Asks the processor to load the columns of the row a few places after
  // rows[at], ahead of their use. A wide row spans some twenty cache lines;
  // read field by field while its record is built, it would stall on each.
  void PrefetchAhead(const std::vector<const Row*>& rows, size_t at) const {
    constexpr size_t kDistance = 4;
    if (at + kDistance >= rows.size()) return;
    const Row& row = *rows[at + kDistance];
    for (size_t index : present_) __builtin_prefetch(row.data() + index);
  }

 private:
  std::vector<std::optional<size_t>> indexes_;
  std::vector<size_t> present_;  // the indexes found, for PrefetchAhead
};

// Where the records of one call go. Each record is handed over without its
// line end; the sink adds CR LF.
class RecordSink {
 public:
  // Opens the file target when PathFileIntraWeb is not "" (through the
  // host's file helper). `toFile` sends the records there; otherwise they
  // are appended to COutput.StringaTracciatoInvioTelematico when Finish()
  // (or the destructor, after a failure) hands the text back.
  RecordSink(IntraContext& context, bool toFile);
  ~RecordSink();
  RecordSink(const RecordSink&) = delete;
  RecordSink& operator=(const RecordSink&) = delete;

  // Room for about `bytes` more characters of text.
  void Reserve(size_t bytes) {
    if (!toFile_) ReserveLargeText(text_, bytes);
  }
  // One record, written as it is (already cased) followed by CR LF.
  void Write(std::string_view record);
  // One record upper-cased (UCase) on its way out, followed by CR LF.
  void WriteUpper(std::string_view record);
  // Closes the file target (flush, close) and hands the text back.
  void Finish();

 private:
  void Put(std::string_view record, bool upper);
  void HandBackText() noexcept;
  IntraContext& context_;
  bool toFile_;
  std::shared_ptr<TextFile> file_;
  std::string text_;
  bool textTaken_ = false;
  std::string line_;
};

}  // namespace zelmora::telematic
