// The records of the French declaration file: 136 characters each, widths
// counted in characters. The header carries the sender and the period; a
// detail record carries one goods line of a declaration list.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "component/clsin_inputintra.h"
#include "platform/date.h"
#include "platform/recordset.h"

namespace zelmora::telematic {

constexpr size_t kFrenchRecordLength = 136;

// The header record, without its line end, cased as it is written: the
// first 93 characters upper-cased, the rest as given. `today` is the day the
// file is written.
std::string FrenchHeaderRecord(const CLSIN_INPUTINTRA& input, const Date& today);

// Builds the detail records of one list from the rows of its declaration
// lines. `isoCode` turns a country code into its ISO code ("" when none).
class FrenchDetailBuilder {
 public:
  using IsoLookup = std::function<std::string(int16_t)>;
  // `sales`: the list is the sales list (flow 2, province of origin,
  // country of destination); otherwise purchases (flow 1, province of
  // destination, country of provenance).
  FrenchDetailBuilder(const Recordset& lines, const CLSIN_INPUTINTRA& input, bool sales, IsoLookup isoCode);

  // Whether the line goes into the file: goods lines of document types 1 to 4.
  bool Declared(const Row& row) const;
  // The record of a declared line, upper-cased, without its line end;
  // `counter` is its number in the file (from 1 across both lists).
  std::string Record(const Row& row, int32_t counter) const;

 private:
  const Variant& Get(const Row& row, size_t slot) const;
  std::vector<std::optional<size_t>> columns_;
  std::string flow_;
  std::string floppy_;   // positions 7-12, the same on every record
  std::string trailer_;  // positions 124-136
  std::string level_;
  IsoLookup isoCode_;
};

}  // namespace zelmora::telematic
