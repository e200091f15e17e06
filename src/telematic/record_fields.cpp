#include "telematic/record_fields.h"

#include <charconv>
#include <cstdint>
#include <span>
#include <string>

#include "platform/decimal.h"
#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora::telematic {

namespace {

bool IsAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

// Byte offset of the character `count` characters from the start.
size_t ByteOffset(std::string_view text, size_t count) {
  size_t at = 0;
  while (count > 0 && at < text.size()) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    --count;
  }
  return at;
}

}  // namespace

Decimal RoundToWhole(const Decimal& x) {
  // Amounts have few decimals and fit 64 bits: integer arithmetic then.
  const Decimal::Mantissa m = x.mantissa();
  if (x.scale() <= 18 && m < (static_cast<Decimal::Mantissa>(1) << 62) && -m < (static_cast<Decimal::Mantissa>(1) << 62)) {
    int64_t unit = 1;
    for (int i = 0; i < x.scale(); ++i) unit *= 10;
    const int64_t mantissa = static_cast<int64_t>(m);
    const int64_t whole = mantissa / unit;
    const int64_t fraction = mantissa < 0 ? -(mantissa % unit) : mantissa % unit;
    const int sign = mantissa > 0 ? 1 : (mantissa < 0 ? -1 : 0);
    // fraction / unit <= 0.49, without division.
    int64_t result = static_cast<__int128>(fraction) * 100 <= static_cast<__int128>(unit) * 49 ? whole : whole + sign;
    if (sign != 0 && (mantissa < 0 ? -mantissa : mantissa) < unit) result = sign;
    return Decimal::FromInt(result);
  }
  static const Decimal kKeep = Decimal::FromParts(49, 2);
  static const Decimal kOne = Decimal::FromInt(1);
  const Decimal whole = x.Truncate();
  Decimal rounded = (x - whole).Abs() <= kKeep ? whole : whole + Decimal::FromInt(x.Sign());
  if (!x.IsZero() && x.Abs() < kOne) rounded = Decimal::FromInt(x.Sign());
  return rounded.Normalized();
}

Decimal RoundedOrZero(const Variant& amount) {
  if (amount.IsNull()) return Decimal();
  try {
    return RoundToWhole(amount.ToDecimal());
  } catch (const Error&) {
    return Decimal();
  }
}

void AppendZ(std::string& out, const Decimal& whole, size_t n) {
  const Decimal::Mantissa m = whole.mantissa();
  if (whole.scale() == 0 && m <= INT64_MAX && m >= INT64_MIN) {
    char digits[24];
    auto [end, error] = std::to_chars(digits, digits + sizeof digits, static_cast<int64_t>(m));
    (void)error;
    AppendZ(out, std::string_view(digits, static_cast<size_t>(end - digits)), n);
  } else {
    AppendZ(out, std::string_view(whole.ToString()), n);
  }
}

void AppendZ(std::string& out, std::string_view text, size_t n) {
  const bool ascii = IsAscii(text);
  const size_t length = ascii ? text.size() : Utf8Length(text);
  if (length >= n) {
    out.append(text.substr(ascii ? length - n : ByteOffset(text, length - n)));
  } else {
    out.append(n - length, '0');
    out.append(text);
  }
}

void AppendT(std::string& out, std::string_view text, size_t n) {
  const bool ascii = IsAscii(text);
  const size_t length = ascii ? text.size() : Utf8Length(text);
  if (length >= n) {
    out.append(text.substr(0, ascii ? n : ByteOffset(text, n)));
  } else {
    out.append(text);
    out.append(n - length, ' ');
  }
}

std::string_view TextView(const Variant& value, std::string& scratch) {
  if (value.type() == VarType::String) return value.AsString();
  scratch = value.Text();
  return scratch;
}

std::string_view TrimmedView(const Variant& value, std::string& scratch) {
  return TrimBlanks(TextView(value, scratch));
}

std::optional<int32_t> SmallWhole(const Variant& value) {
  switch (value.type()) {
    case VarType::Integer:
      return value.AsInteger();
    case VarType::Long:
      return value.AsLong();
    default:
      return std::nullopt;
  }
}

std::string TrimmedText(const Variant& value) {
  if (value.IsEmptyOrNull()) return {};
  if (value.type() == VarType::String) return std::string(TrimBlanks(value.AsString()));
  return std::string(TrimBlanks(value.ToString()));
}

void AppendDate(std::string& out, const Variant& value) {
  if (value.IsEmptyOrNull() || (value.type() == VarType::String && value.AsString().empty())) {
    out.append(6, ' ');
    return;
  }
  const Date date = value.ToDate();
  const int parts[3] = {date.day(), date.month(), date.year() % 100};
  for (int part : parts) {
    out += static_cast<char>('0' + part / 10);
    out += static_cast<char>('0' + part % 10);
  }
}

void AppendUpper(std::string& out, std::string_view text) {
  // ASCII text, by far the common case, is copied and cased in one pass
  // without branches (the compiler turns it into vector code); a byte
  // outside ASCII sends the whole text through the decoder below.
  const size_t from = out.size();
  out.append(text);
  unsigned char seen = 0;
  for (char& c : std::span<char>(out.data() + from, text.size())) {
    const unsigned char b = static_cast<unsigned char>(c);
    seen |= b;
    c = static_cast<char>(b - (static_cast<unsigned char>(b - 'a') < 26 ? 32 : 0));
  }
  if (seen < 0x80) return;
  out.resize(from);
  size_t at = 0;
  while (at < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c < 0x80) {
      out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : static_cast<char>(c);
      ++at;
      continue;
    }
    // Decode one multi-byte sequence; a malformed one is copied as it is.
    size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    if (length == 1 || at + length > text.size()) {
      out += static_cast<char>(c);
      ++at;
      continue;
    }
    char32_t cp = c & (0x7F >> length);
    bool valid = true;
    for (size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[at + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!valid) {
      out += static_cast<char>(c);
      ++at;
      continue;
    }
    AppendUtf8(out, UpperCodePoint(cp));
    at += length;
  }
}

std::string Upper(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendUpper(out, text);
  return out;
}

bool IsNumber(const Variant& value, int64_t number) {
  const VarType type = value.type();
  switch (type) {
    case VarType::Null:
    case VarType::Object:
      return false;
    case VarType::Integer:
      return value.AsInteger() == number;
    case VarType::Long:
      return value.AsLong() == number;
    case VarType::String: {
      std::optional<Decimal> parsed = Decimal::Parse(value.AsString());
      return parsed && *parsed == Decimal::FromInt(number);
    }
    default: {
      std::optional<int> order = Compare(value, Variant::Dec(Decimal::FromInt(number)));
      return order && *order == 0;
    }
  }
}

LineColumns::LineColumns(const Recordset& rs, std::initializer_list<std::string_view> names) {
  indexes_.reserve(names.size());
  for (std::string_view name : names) {
    indexes_.push_back(rs.FieldIndex(name));
    if (indexes_.back()) present_.push_back(*indexes_.back());
  }
}

RecordSink::RecordSink(IntraContext& context, bool toFile) : context_(context), toFile_(toFile) {
  if (!context_.PathFileIntraWeb.empty()) {
    std::shared_ptr<FileHelper> helper = context_.services->NewFileHelper();
    file_ = helper->Open(context_.FolderFileIntraWeb, context_.PathFileIntraWeb, 1, "", -1, -1);
  }
  if (!toFile_) {
    text_ = context_.out().StringaTracciatoInvioTelematico.Text();
    textTaken_ = true;
  }
}

RecordSink::~RecordSink() { HandBackText(); }

void RecordSink::Write(std::string_view record) { Put(record, false); }

void RecordSink::WriteUpper(std::string_view record) { Put(record, true); }

void RecordSink::Put(std::string_view record, bool upper) {
  if (toFile_) {
    if (!file_) throw Error::ObjectNotSet();
    line_.clear();
  }
  std::string& out = toFile_ ? line_ : text_;
  if (upper) {
    AppendUpper(out, record);
  } else {
    out.append(record);
  }
  out += "\r\n";
  if (toFile_) file_->Write(line_);
}

void RecordSink::Finish() {
  HandBackText();
  if (file_) {
    file_->Flush();
    file_->Close();
    file_.reset();
  }
}

void RecordSink::HandBackText() noexcept {
  if (!textTaken_) return;
  textTaken_ = false;
  if (context_.COutput) context_.COutput->StringaTracciatoInvioTelematico = Variant::String(std::move(text_));
}

}  // namespace zelmora::telematic
