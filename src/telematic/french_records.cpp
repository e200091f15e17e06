#include "telematic/french_records.h"

#include <string_view>

#include "component/value_helpers.h"
#include "platform/error.h"
#include "platform/text_util.h"
#include "telematic/record_fields.h"

namespace zelmora::telematic {


namespace {

constexpr size_t kHeaderUpperCased = 93;

// The columns of a declaration line the detail record reads, in the order
// they are read.
enum Column : size_t {
  kIndOper, kTipoDoc, kCodIsoCf, kPartitaIva, kImporto, kProvincia, kIndTrasp, kPaeseOri, kIndNatura,
  kRegime, kNomenclatura, kImpMassa, kValStat, kImpUnSuppl, kPaeseDest, kColumnCount
};

std::string TextOrEmpty(const Variant& value) { return SeNullo(value, Variant::String("")).Text(); }

// The value's text, or `width` blanks where it is shorter: a missing
// transport mode or country keeps the fields after it in place.
void AppendAtLeast(std::string& out, std::string_view text, size_t width) {
  out += text;
  for (size_t length = Utf8Length(text); length < width; ++length) out += ' ';
}

// Format(value, "00"): a number with at least two digits; anything else as
// its text.
std::string TwoDigits(const Variant& value) {
  if (value.IsEmptyOrNull() || !value.IsNumeric()) return value.Text();
  std::string digits = value.ToDecimal().RoundHalfAwayFromZero(0).ToString();
  const bool negative = !digits.empty() && digits[0] == '-';
  if (negative) digits.erase(0, 1);
  if (digits.size() < 2) digits.insert(0, 2 - digits.size(), '0');
  return negative ? "-" + digits : digits;
}

// The whole units of the absolute value of an amount, as the file writes
// them (Null stays Null and writes as zeros).
Decimal WholeOfAbsolute(const Variant& amount) {
  if (amount.IsNull()) return Decimal();
  return RoundToWhole(amount.ToDecimal().Abs());
}

}  // namespace

std::string FrenchHeaderRecord(const CLSIN_INPUTINTRA& input, const Date& today) {
  std::string record = "INTRACOM";
  AppendT(record, TextOrEmpty(input.CodiceUtenteInvioTelematico), 4);
  AppendZ(record, TrimmedText(input.PeriodoStampa), 2);
  record += '3';
  AppendAtLeast(record, Utf8Right(TrimmedText(input.ProgressivoInvioTelematico), 1), 1);
  record.append(7, ' ');
  AppendZ(record, std::to_string(today.month()), 2);
  AppendZ(record, std::to_string(today.day()), 2);
  std::string taxCode = Utf8Left(TrimmedText(input.Codicefiscale), 14);
  for (size_t length = Utf8Length(taxCode); length < 14; ++length) taxCode += '0';
  record += taxCode;
  AppendT(record, TextOrEmpty(input.Fax), 20);
  AppendT(record, TextOrEmpty(input.Telefono), 20);
  AppendT(record, TextOrEmpty(input.CognomeDeleg) + " " + TextOrEmpty(input.NomeDeleg), 20);
  record.append(35, ' ');
  return Upper(Utf8Left(record, kHeaderUpperCased)) + Utf8Mid(record, kHeaderUpperCased + 1);
}

FrenchDetailBuilder::FrenchDetailBuilder(const Recordset& lines, const CLSIN_INPUTINTRA& input, bool sales,
                                         IsoLookup isoCode)
    : isoCode_(std::move(isoCode)) {
  const std::string_view names[kColumnCount] = {
      "IN02_INDOPER",      "IN01_INDTIPODOC",   "CG07_CODISOCF",
      "CG16_PARTIVA",      "IMPORTO",           sales ? "IN02_PROVORIG" : "IN02_PROVDEST",
      "IN02_INDTRASP",     "IN02_PAESEORI_CG07", "IN02_INDNATURA",
      "IN02_REGIME",       "IN02_NOMENCLATURA", "IMPMASSA",
      "VALSTAT",           "IMPUNSUPPL",        sales ? "IN02_PAESEDES_CG07" : "IN02_PAESEPRO_CG07"};
  for (std::string_view name : names) columns_.push_back(lines.FieldIndex(name));
  flow_ = sales ? "2" : "1";
  AppendZ(floppy_, TrimmedText(input.NumFloppy), 6);
  trailer_ = TwoDigits(input.PeriodoStampa);
  trailer_ += input.Anno.Text();
  trailer_.append(7, ' ');
  level_ = std::to_string(input.LivObbligo);
}

const Variant& FrenchDetailBuilder::Get(const Row& row, size_t slot) const {
  const std::optional<size_t>& index = columns_[slot];
  if (!index) throw Error::ItemNotFound();
  return row[*index];
}

bool FrenchDetailBuilder::Declared(const Row& row) const {
  if (!IsNumber(SeNullo(Get(row, kIndOper), Variant::Integer(0)), 0)) return false;
  const Variant& kind = Get(row, kTipoDoc);
  for (int code : {1, 2, 3, 4}) {
    if (IsNumber(kind, code)) return true;
  }
  return false;
}

std::string FrenchDetailBuilder::Record(const Row& row, int32_t counter) const {
  // The values that feed several positions first.
  std::string isoPrefix;
  AppendT(isoPrefix, TextOrEmpty(Get(row, kCodIsoCf)), 2);
  std::string vat;
  AppendT(vat, Get(row, kPartitaIva).Text(), 12);
  const Decimal amount = WholeOfAbsolute(Get(row, kImporto));
  const std::string trimmedVat(TrimBlanks(vat));

  std::string record(4, ' ');
  record += flow_;
  record += 'E';
  record += floppy_;
  AppendZ(record, std::to_string(counter), 6);
  record.append(4, ' ');
  const std::string firstTwo = Utf8Left(vat, 2);
  record += Variant::String(firstTwo).IsNumeric() ? firstTwo : Utf8Mid(vat, 3, 2);
  AppendAtLeast(record, Utf8Right(trimmedVat, 9), 9);
  record.append(5, ' ');
  AppendT(record, Get(row, kProvincia).Text(), 2);
  AppendAtLeast(record, Utf8Left(TextOrEmpty(Get(row, kIndTrasp)), 1), 1);
  record += ' ';
  AppendAtLeast(record, isoCode_(SeNullo(Get(row, kPaeseOri), Variant::Integer(-1)).ToInteger()), 2);
  AppendZ(record, Get(row, kIndNatura).Text(), 2);
  AppendZ(record, amount, 11);
  record.append(4, ' ');
  AppendZ(record, SeNullo(Get(row, kRegime), Variant::Integer(0)).Text(), 2);
  record += level_;
  AppendZ(record, TrimmedText(Get(row, kNomenclatura)), 8);
  record += '0';
  AppendZ(record, WholeOfAbsolute(SeNullo(Get(row, kImpMassa), Variant::Integer(0))), 10);
  AppendZ(record, RoundedOrZero(Get(row, kValStat)), 11);
  AppendZ(record, WholeOfAbsolute(SeNullo(Get(row, kImpUnSuppl), Variant::Integer(0))), 10);
  record += ' ';
  AppendAtLeast(record, isoCode_(SeNullo(Get(row, kPaeseDest), Variant::Integer(-1)).ToInteger()), 2);
  AppendT(record, std::string(TrimBlanks(isoPrefix)) + trimmedVat, 15);
  record += ' ';
  record += trailer_;
  return Upper(record);
}

}  // namespace zelmora::telematic
