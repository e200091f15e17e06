#include "telematic/submission_check.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/text_util.h"

namespace zelmora::telematic {

namespace {

// A record with its characters located: fields are cut by character
// positions, so a party name or an invoice number with accented letters
// does not shift the fields after it.
class Characters {
 public:
  explicit Characters(std::string_view record) : record_(record) {
    ascii_ = std::all_of(record.begin(), record.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii_) {
      for (size_t i = 0; i < record.size(); ++i) {
        if ((static_cast<unsigned char>(record[i]) & 0xC0) != 0x80) starts_.push_back(i);
      }
    }
  }
  size_t size() const { return ascii_ ? record_.size() : starts_.size(); }
  // `length` characters from the 1-based `start`; the caller keeps inside.
  std::string_view Field(size_t start, size_t length) const {
    if (ascii_) return record_.substr(start - 1, length);
    const size_t from = starts_[start - 1];
    const size_t to = start - 1 + length < starts_.size() ? starts_[start - 1 + length] : record_.size();
    return record_.substr(from, to - from);
  }

 private:
  std::string_view record_;
  bool ascii_ = true;
  std::vector<size_t> starts_;
};

// Digits only, or nothing: the part before a letter-coded last digit can
// be empty.
bool AllDigits(std::string_view value) { return value.empty() || IsDigits(value); }

bool Allowed(std::string_view value, std::string_view literals) {
  size_t at = 0;
  while (true) {
    const size_t bar = literals.find('|', at);
    if (literals.substr(at, bar == std::string_view::npos ? std::string_view::npos : bar - at) == value) return true;
    if (bar == std::string_view::npos) return false;
    at = bar + 1;
  }
}

bool Printable(char c) { return c >= 0x20 && c <= 0x7E; }

}  // namespace

std::string Escaped(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : value) {
    if (c == '\\') {
      out += "\\\\";
    } else if (Printable(c)) {
      out += c;
    } else {
      out += "\\x";
      out += kHex[static_cast<unsigned char>(c) >> 4];
      out += kHex[static_cast<unsigned char>(c) & 15];
    }
  }
  return out;
}

namespace {

std::string Quoted(std::string_view value) { return "'" + Escaped(value) + "'"; }

std::string Alternatives(std::string_view literals) {
  std::string out;
  size_t at = 0;
  while (true) {
    const size_t bar = literals.find('|', at);
    if (!out.empty()) out += bar == std::string_view::npos ? " or " : ", ";
    out += Quoted(literals.substr(at, bar == std::string_view::npos ? std::string_view::npos : bar - at));
    if (bar == std::string_view::npos) return out;
    at = bar + 1;
  }
}

int Number(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

bool RealDay(std::string_view ddmmyy) {
  if (!AllDigits(ddmmyy)) return false;
  const int day = Number(ddmmyy.substr(0, 2)), month = Number(ddmmyy.substr(2, 2));
  const int year = 2000 + Number(ddmmyy.substr(4, 2));
  if (month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// What a field breaks, or nullopt when it keeps to its rule.
std::optional<std::string> FieldFault(std::string_view value, const FieldRule& field) {
  const std::string width = std::to_string(field.length);
  switch (field.kind) {
    case FieldKind::kText:
      return std::nullopt;
    case FieldKind::kDigits:
      if (!AllDigits(value)) return width + " digits";
      if (field.high > 0 && (Number(value) < field.low || Number(value) > field.high)) {
        return width + " digits from " + std::to_string(field.low) + " to " + std::to_string(field.high);
      }
      return std::nullopt;
    case FieldKind::kLiteral:
      if (Allowed(value, field.literal)) return std::nullopt;
      return Alternatives(field.literal);
    case FieldKind::kLetter: {
      const bool ok = !value.empty() && AllDigits(value.substr(0, value.size() - 1)) &&
                      ((value.back() >= '0' && value.back() <= '9') || (value.back() >= 'p' && value.back() <= 'y'));
      if (ok) return std::nullopt;
      return width + " digits, the last one p to y when negative";
    }
    case FieldKind::kDate:
      if (value.find_first_not_of(' ') == std::string_view::npos || RealDay(value)) return std::nullopt;
      return "a day DDMMYY or " + width + " blanks";
  }
  return std::nullopt;
}

void CheckFields(const Characters& record, size_t number, const RecordLayout& layout, std::vector<Problem>& problems,
                 size_t declaration, size_t detail) {
  for (const FieldRule& field : layout.fields) {
    std::string_view value = record.Field(field.start, field.length);
    if (std::optional<std::string> wants = FieldFault(value, field)) {
      problems.push_back({number, std::string(layout.record_type), std::string(field.name), Quoted(value), *wants,
                          declaration, detail});
    }
  }
}

// An amount or total field as a signed number; nullopt when the field is
// not one (its own problem is reported by the field check).
std::optional<int64_t> Amount(std::string_view field, bool letter_coded) {
  if (field.empty()) return std::nullopt;
  const char last = field.back();
  const bool negative = letter_coded && last >= 'p' && last <= 'y';
  if (!AllDigits(field.substr(0, field.size() - 1)) || (!negative && !(last >= '0' && last <= '9'))) {
    return std::nullopt;
  }
  int64_t value = 0;
  for (char c : field.substr(0, field.size() - 1)) value = value * 10 + (c - '0');
  value = value * 10 + (negative ? last - 'p' : last - '0');
  return negative ? -value : value;
}

// A total as the frontispiece should hold it: zero-filled, a negative one
// with its last digit as a letter where the section codes it so.
std::string TotalText(int64_t total, size_t length, bool letter_coded) {
  std::string digits = std::to_string(total < 0 ? -total : total);
  if (digits.size() < length) digits.insert(0, length - digits.size(), '0');
  if (total < 0) {
    if (letter_coded) {
      digits.back() = static_cast<char>('p' + (digits.back() - '0'));
    } else {
      digits = "a negative total (" + std::to_string(total) + ") the layout cannot hold";
    }
  }
  return digits;
}

std::string Padded(size_t value, size_t length) {
  std::string digits = std::to_string(value);
  if (digits.size() < length) digits.insert(0, length - digits.size(), '0');
  return digits;
}

// One declaration of the file: its frontispiece and what its details add up to.
struct Declaration {
  size_t record = 0;  // the frontispiece's record number
  size_t number = 0;  // 1-based among the file's declarations
  std::string shared;  // the leading characters its details repeat
  bool fields_ok = false;
  char list = 0, periodicity = 0;
  std::string counts[8], totals[8];  // the frontispiece's fields by section
  size_t lines[8] = {};
  int64_t sums[8] = {};
  bool summable[8] = {true, true, true, true, true, true, true, true};
  size_t details = 0;
};

void CloseDeclaration(const Declaration& d, const SubmissionFormat& format, std::vector<Problem>& problems) {
  if (d.number == 0 || !d.fields_ok) return;
  const std::string type(format.frontispiece.record_type);
  for (size_t s = 0; s < format.sections.size() && s < 8; ++s) {
    const SectionTotal& section = format.sections[s];
    if (section.list != 0 && section.list != d.list) continue;
    const std::string& count = d.counts[s];
    if (AllDigits(count) && Number(count) != static_cast<int>(d.lines[s])) {
      problems.push_back({d.record, type, std::string(section.name) + " lines", Quoted(count),
                          Quoted(Padded(d.lines[s], section.count_length)) + ", the " + std::string(section.name) +
                              " records that follow",
                          d.number, 0, section.type});
    }
    if (section.total_length == 0) continue;  // a section without amounts
    const std::optional<int64_t> total = Amount(d.totals[s], section.letter_coded);
    if (total && d.summable[s] && *total != d.sums[s]) {
      problems.push_back({d.record, type, std::string(section.name) + " total", Quoted(d.totals[s]),
                          Quoted(TotalText(d.sums[s], section.total_length, section.letter_coded)) + ", the sum of the " +
                              std::string(section.name) + " records",
                          d.number, 0, section.type});
    }
  }
}

const DetailLayout* FindDetail(const SubmissionFormat& format, char type, char list, char periodicity) {
  for (const DetailLayout& detail : format.details) {
    if (detail.type == type && detail.list == list && (detail.periodicity == 0 || detail.periodicity == periodicity)) {
      return &detail;
    }
  }
  return nullptr;
}

const RecordLayout& FrontispieceOf(const SubmissionFormat& format, const Characters& record) {
  if (record.size() >= format.list_position) {
    const std::string_view list = record.Field(format.list_position, 1);
    for (const auto& [character, layout] : format.list_frontispieces) {
      if (list.size() == 1 && list.front() == character) return layout;
    }
  }
  return format.frontispiece;
}

int SectionOf(const SubmissionFormat& format, char type) {
  for (size_t s = 0; s < format.sections.size() && s < 8; ++s) {
    if (format.sections[s].type == type) return static_cast<int>(s);
  }
  return -1;
}

// Where a record was read and what it was read as, for the check of its bytes.
struct RecordPlace {
  const RecordLayout* layout = nullptr;
  std::string_view record_type;
  size_t declaration = 0, detail = 0;
};

// Each run of bytes outside printable ASCII (NUL, control characters, DEL,
// bytes from 0x80 on: accented letters, emoji and invalid UTF-8 alike) is
// one problem naming its byte positions and the field they fall in. Byte
// positions, as a broken character has no character position; the field
// is the one holding the character that starts at or after the run's first
// byte.
void CheckBytes(std::string_view record, size_t number, const RecordPlace& place, std::vector<Problem>& problems) {
  size_t character = 0;
  for (size_t at = 0; at < record.size();) {
    if (Printable(record[at])) {
      ++character;
      ++at;
      continue;
    }
    const size_t from = at;
    const size_t first = character + 1;
    while (at < record.size() && !Printable(record[at])) {
      if ((static_cast<unsigned char>(record[at]) & 0xC0) != 0x80) ++character;
      ++at;
    }
    std::string where = at - from == 1 ? "byte " + std::to_string(from + 1)
                                       : "bytes " + std::to_string(from + 1) + "-" + std::to_string(at);
    if (place.layout) {
      for (const FieldRule& field : place.layout->fields) {
        if (first >= field.start && first < field.start + field.length) {
          where += " (" + std::string(field.name) + ")";
          break;
        }
      }
    }
    problems.push_back({number, std::string(place.record_type), where, Quoted(record.substr(from, at - from)),
                        "printable ASCII characters (0x20 to 0x7E)", place.declaration, place.detail});
  }
}

}  // namespace

void CheckRecord(std::string_view record, size_t number, const RecordLayout& layout,
                 std::vector<Problem>& problems) {
  const Characters characters(record);
  if (characters.size() != layout.length) {
    problems.push_back({number, std::string(layout.record_type), "record length", std::to_string(characters.size()),
                        std::to_string(layout.length)});
    return;
  }
  CheckFields(characters, number, layout, problems, 0, 0);
}

std::vector<Problem> CheckSubmission(std::string_view file, const SubmissionFormat& format) {
  std::vector<Problem> problems;
  std::vector<std::string_view> records;
  size_t at = 0;
  while (at < file.size()) {
    const size_t lf = file.find('\n', at);
    const size_t end = lf == std::string_view::npos ? file.size() : lf;
    std::string_view line = file.substr(at, end - at);
    const bool crlf = lf != std::string_view::npos && !line.empty() && line.back() == '\r';
    if (crlf) line.remove_suffix(1);
    records.push_back(line);
    if (!crlf) {
      problems.push_back({records.size(), records.size() == 1 ? std::string(format.header.record_type) : "declaration",
                          "line end", lf == std::string_view::npos ? "none" : "LF", "CR LF"});
    }
    at = lf == std::string_view::npos ? file.size() : lf + 1;
  }
  if (records.empty()) {
    problems.push_back({1, std::string(format.header.record_type), "record", "empty file", "a header record"});
    return problems;
  }

  std::vector<RecordPlace> places(records.size());
  places[0] = {&format.header, format.header.record_type};
  const size_t before = problems.size();
  CheckRecord(records.front(), 1, format.header, problems);
  if (problems.size() == before) {
    const std::string_view count =
        records.front().substr(format.header_count_start - 1, format.header_count_length);
    if (static_cast<size_t>(Number(count)) != records.size()) {
      problems.push_back({1, std::string(format.header.record_type), "number of records", std::string(count),
                          Padded(records.size(), format.header_count_length)});
    }
  }

  Declaration current;
  size_t declarations = 0;
  for (size_t i = 1; i < records.size(); ++i) {
    const size_t number = i + 1;
    const Characters record(records[i]);
    RecordPlace& place = places[i];
    place = {&format.prefix, format.prefix.record_type, current.number, 0};
    if (record.size() < format.prefix.length) {
      problems.push_back({number, std::string(format.prefix.record_type), "record length",
                          std::to_string(record.size()), "at least " + std::to_string(format.prefix.length),
                          current.number, 0});
      continue;
    }
    const char type = record.Field(format.type_position, 1).front();
    if (type == format.frontispiece_type) {
      CloseDeclaration(current, format, problems);
      current = Declaration();
      current.record = number;
      current.number = ++declarations;
      place = {&format.frontispiece, format.frontispiece.record_type, current.number, 0};
      const size_t found = problems.size();
      const RecordLayout& front = FrontispieceOf(format, record);
      if (record.size() != front.length) {
        problems.push_back({number, std::string(front.record_type), "record length",
                            std::to_string(record.size()), std::to_string(front.length),
                            current.number, 0});
        continue;
      }
      CheckFields(record, number, front, problems, current.number, 0);
      current.fields_ok = true;
      current.shared = std::string(record.Field(format.shared_start, format.shared_length));
      current.list = record.Field(format.list_position, 1).front();
      current.periodicity = record.Field(format.periodicity_position, 1).front();
      for (size_t s = 0; s < format.sections.size() && s < 8; ++s) {
        const SectionTotal& section = format.sections[s];
        if (section.list != 0 && section.list != current.list) continue;
        current.counts[s] = std::string(record.Field(section.count_start, section.count_length));
        if (section.total_length > 0) current.totals[s] = std::string(record.Field(section.total_start, section.total_length));
      }
      // A quarter is 1 to 4; a month 1 to 12.
      const std::string_view period = record.Field(format.period_start, format.period_length);
      const int high = current.periodicity == 'T' ? 4 : 12;
      if (problems.size() == found && (Number(period) < 1 || Number(period) > high)) {
        problems.push_back({number, std::string(front.record_type), "period", Quoted(period),
                            std::to_string(format.period_length) + " digits from 1 to " + std::to_string(high),
                            current.number, 0});
      }
      continue;
    }

    if (current.number == 0) {
      CheckFields(record, number, format.prefix, problems, 0, 0);
      problems.push_back({number, std::string(format.prefix.record_type), "frontispiece", "none before this record",
                          "a frontispiece record before its details"});
      continue;
    }
    const size_t detail = ++current.details;
    place.detail = detail;
    const DetailLayout* layout = FindDetail(format, type, current.list, current.periodicity);
    if (!layout) {
      CheckFields(record, number, format.prefix, problems, current.number, detail);
      if (current.fields_ok) {
        problems.push_back({number, std::string(format.prefix.record_type), "record type", Quoted(std::string(1, type)),
                            "a detail record type of list '" + std::string(1, current.list) + "'", current.number,
                            detail});
      }
      continue;
    }
    const std::string name(layout->layout.record_type);
    place.layout = &layout->layout;
    place.record_type = layout->layout.record_type;
    const int s = SectionOf(format, type);
    if (s >= 0) current.lines[s] += 1;
    if (record.size() != layout->layout.length) {
      problems.push_back({number, name, "record length", std::to_string(record.size()),
                          std::to_string(layout->layout.length), current.number, detail});
      if (s >= 0) current.summable[s] = false;
      continue;
    }
    CheckFields(record, number, layout->layout, problems, current.number, detail);
    const std::string_view line = record.Field(format.line_start, format.line_length);
    if (s >= 0 && AllDigits(line) && static_cast<size_t>(Number(line)) != current.lines[s]) {
      problems.push_back({number, name, "line number", Quoted(line),
                          Quoted(Padded(current.lines[s], format.line_length)) + ", the next " + name.substr(2) +
                              " line",
                          current.number, detail});
    }
    if (current.fields_ok && record.Field(format.shared_start, format.shared_length) != current.shared) {
      problems.push_back({number, name, "presenter VAT and list reference number",
                          Quoted(record.Field(format.shared_start, format.shared_length)), Quoted(current.shared) + " as its frontispiece",
                          current.number, detail});
    }
    if (s >= 0 && layout->amount_length > 0) {
      std::optional<int64_t> amount = Amount(record.Field(layout->amount_start, layout->amount_length), false);
      if (!amount) {
        current.summable[s] = false;
      } else {
        const bool minus = layout->sign_start != 0 && record.Field(layout->sign_start, 1) == "-";
        current.sums[s] += minus ? -*amount : *amount;
      }
    }
  }
  CloseDeclaration(current, format, problems);
  for (size_t i = 0; i < records.size(); ++i) CheckBytes(records[i], i + 1, places[i], problems);
  // A frontispiece's counts and totals are known once its details are read:
  // put its problems back in the file's order.
  std::stable_sort(problems.begin(), problems.end(),
                   [](const Problem& a, const Problem& b) { return a.record < b.record; });
  return problems;
}

}  // namespace zelmora::telematic
