// One value that stands for a row's whole GROUP BY list: two rows get the
// same key exactly when every term is equal as the statement compares it
// (numbers by value, text under TSQL or byte for byte, Nulls together),
// and keys in byte order sort the rows as the list itself sorts them
// (Null first, then numbers, text, blobs; the terms from left to right).
// SQLite's sorter compares a key of many terms one term at a time, decoding
// the row's record for each comparison; grouping on this single key gives
// the same groups in the same order for a fraction of that work.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelmora::tsql {

class GroupKey {
 public:
  void AppendNull();
  void AppendInteger(int64_t value);
  void AppendReal(double value);  // NaN is Null, as SQLite stores it
  // `collated`: compared under TSQL (case-insensitive, trailing blanks do
  // not count); otherwise byte for byte.
  void AppendText(std::string_view text, bool collated);
  void AppendBlob(std::string_view bytes);

  const std::string& bytes() const { return bytes_; }
  // Empties the key and keeps its buffer, for the next row's.
  void Clear() { bytes_.clear(); }

 private:
  void AppendEscaped(std::string_view bytes);
  std::string bytes_;
};

}  // namespace zelmora::tsql
