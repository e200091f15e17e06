#include "telematic/detail_records.h"

#include <charconv>
#include <optional>
#include <stdexcept>
#include <string>

#include "component/value_helpers.h"
#include "platform/error.h"
#include "platform/text_util.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

namespace {

bool IsNegative(const Variant& value) {
  std::optional<int> order = Compare(value, Variant::Integer(0));
  return order && *order < 0;
}

// The document is dated in 2012 or earlier (invoice numbers then carry the
// journal section).
bool DatedUpTo2012(const Variant& date) {
  if (date.IsEmptyOrNull()) return false;
  if (date.type() == VarType::String && date.AsString().empty()) return false;
  return date.ToDate().year() <= 2012;
}

void AppendNumber(std::string& out, int64_t number, size_t width) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
  (void)error;
  AppendZ(out, std::string_view(digits, static_cast<size_t>(end - digits)), width);
}

// When `padded`, the field is `width` times `pad`.
bool Padded(bool padded, std::string& out, size_t width, char pad) {
  if (padded) out.append(width, pad);
  return padded;
}

}  // namespace

LineColumns DeclarationLineColumns(const Recordset& rs) {
  return LineColumns(rs, {"IN02_INDOPER",     "IN01_INDTIPODOC",  "IN02_INDTIPODATI", "CG07_CODISOCF",
                          "CG16_PARTIVA",     "IMPORTO",          "IMPORTOVAL",       "RETTIFICA",
                          "RETTIFICAVAL",     "VALSTAT",          "IMPMASSA",         "IMPUNSUPPL",
                          "IN02_INDNATURA",   "IN02_NOMENCLATURA", "IN02_INDCONS",    "IN02_INDTRASP",
                          "CG07_CODISODES",   "CG07_CODISOPRO",   "CG07_CODISOORI",   "IN02_PROVORIG",
                          "IN02_PROVDEST",    "IN02_MESERIF",     "IN02_ANNORIF",     "IN02_SEZDOG",
                          "IN02_PROTDICH",    "IN02_PROGRSEZ3",   "IN02_NUMDOCORIG",  "IN02_DATADOCORIG",
                          "IN02_SEZORIG",     "IN02_CODICE_IN03", "IN02_CODICE_IN04", "CG07_CODISOPAG"});
}

int CodeOf(const Variant& value, int lowest, int highest, int none) {
  if (std::optional<int32_t> whole = SmallWhole(value)) {
    return *whole >= lowest && *whole <= highest ? *whole : none;
  }
  for (int code = lowest; code <= highest; ++code) {
    if (IsNumber(value, code)) return code;
  }
  return none;
}

bool IsGoodsLine(const Variant& indOper) {
  if (std::optional<int32_t> whole = SmallWhole(indOper)) return *whole == 0;
  return IsNumber(SeNullo(indOper, Variant::Integer(0)), 0);
}

bool IsFirstKindDocument(const Variant& indTipoDoc) {
  const int type = CodeOf(indTipoDoc, 1, 4, 0);
  return type == 1 || type == 3;
}

std::string PresenterVat(const CLSIN_INPUTINTRA& input) {
  std::string delegate = TrimmedText(input.PartitaIvaDeleg);
  return delegate.empty() ? TrimmedText(input.PartitaIva) : delegate;
}

void AppendSignedTotal(IntraContext& context, std::string& out, const Decimal& total, size_t width) {
  if (total.Sign() >= 0) {
    AppendZ(out, total.ToString(), width);
    return;
  }
  std::string field;
  AppendZ(field, total.Abs().ToString(), width);
  const std::string last(1, field.back());
  field.pop_back();
  field += CodificaCifraNegativa(context, Variant::String(last)).Text();
  out += field;
}

DetailBuilder::DetailBuilder(IntraContext& context, const Recordset& rs, Layout layout)
    : context_(context),
      input_(context.in()),
      columns_(DeclarationLineColumns(rs)),
      layout_(layout),
      tables_(layout == Layout::k2010 ? Layout2010() : LayoutLegacy()) {
  presenter_ = PresenterVat(input_);
  submission_ = TrimmedText(input_.NumFloppy);
  monthly_ = IsNumber(input_.TipoIntra, 1);
  quarterly_ = IsNumber(input_.TipoIntra, 2);
  annual_ = IsNumber(input_.TipoIntra, 3);
  // The goods record follows the periodicity the frontispiece declares: in
  // 2010 a monthly declarant changing periodicity declares a quarter, and
  // its goods records have no statistical fields. The goods corrections
  // follow the declarant's own periodicity, so the same declarant keeps
  // the monthly record 2 with its reference month and statistical value.
  // Before 2010 an annual list has a goods record of its own.
  char goods = 'T';
  if (monthly_ && (layout == Layout::kLegacy || !input_.CambioPeriodicita)) {
    goods = 'M';
  } else if (layout == Layout::kLegacy && annual_) {
    goods = 'A';
  }
  const char periodicity[5] = {0, goods, monthly_ ? 'M' : 'T', 0, 0};
  for (int kind = 1; kind <= 4; ++kind) {
    for (int list = 0; list < 2; ++list) {
      Spec& spec = specs_[kind][list];
      spec.record = FindRecord(tables_, static_cast<char>('0' + kind), list == 0 ? 'C' : 'A', periodicity[kind]);
      if (!spec.record) continue;
      spec.correction = FindField(*spec.record, FieldSource::kCorrectionAmount);
      const std::vector<FieldSpec>& fields = spec.record->fields;
      while (spec.rest < fields.size() && (fields[spec.rest].fill == FieldSource::kMark ||
                                           fields[spec.rest].fill == FieldSource::kPresenterVat ||
                                           fields[spec.rest].fill == FieldSource::kSubmission)) {
        PutPrefix(fields[spec.rest++], 0, 0, spec.head);
      }
    }
  }
}

RecordKind DetailBuilder::KindOf(const Row& row) const {
  const bool first = IsFirstKindDocument(columns_.Get(row, kIndTipoDoc));
  if (layout_ == Layout::kLegacy || IsGoodsLine(columns_.Get(row, kIndOper))) {
    return first ? RecordKind::kGoods : RecordKind::kGoodsCorrection;
  }
  return first ? RecordKind::kServices : RecordKind::kServicesCorrection;
}

SectionTally DetailBuilder::Tally(const std::vector<const Row*>& rows) const {
  SectionTally tally;
  for (size_t i = 0; i < rows.size(); ++i) {
    columns_.PrefetchAhead(rows, i);
    const Row& row = *rows[i];
    const int kind = static_cast<int>(KindOf(row));
    tally.count[kind] += 1;
    switch (static_cast<RecordKind>(kind)) {
      case RecordKind::kGoods:
      case RecordKind::kGoodsCorrection:
        if (!IsNumber(columns_.Get(row, kIndTipoDati), 2)) tally.total[kind] += RoundedOrZero(columns_.Get(row, kImporto));
        break;
      case RecordKind::kServices:
        tally.total[kind] += RoundedOrZero(columns_.Get(row, kImporto));
        break;
      case RecordKind::kServicesCorrection:
        tally.total[kind] += RoundedOrZero(columns_.Get(row, kRettifica));
        break;
    }
  }
  return tally;
}

void DetailBuilder::ReadLine(const Row& row) {
  documentType_ = CodeOf(columns_.Get(row, kIndTipoDoc), 1, 4, 0);
  dataKind_ = CodeOf(columns_.Get(row, kIndTipoDati), 0, 2, -1);
}

std::string_view DetailBuilder::Text(const Row& row, LineColumn column) {
  return TextView(columns_.Get(row, column), scratch_);
}

std::string_view DetailBuilder::Trimmed(const Row& row, LineColumn column) {
  return TrimmedView(columns_.Get(row, column), scratch_);
}

bool DetailBuilder::PutPrefix(const FieldSpec& f, char type, int64_t number, std::string& out) {
  switch (f.fill) {
    case FieldSource::kMark: out += f.literal; return true;
    case FieldSource::kPresenterVat: AppendZ(out, presenter_, f.length); return true;
    case FieldSource::kSubmission: AppendZ(out, submission_, f.length); return true;
    case FieldSource::kType: out += type; return true;
    case FieldSource::kLineNumber: AppendNumber(out, number, f.length); return true;
    default: return false;
  }
}

// --- the frontispiece -----------------------------------------------------------

std::string DetailBuilder::Frontispiece(const std::function<SectionTally()>& tally,
                                        const std::function<void(FieldSource, std::string_view)>& written) {
  const RecordSpec* spec = FindRecord(tables_, '0', IsNumber(input_.TipoStampa, 1) ? 'A' : 'C', 0);
  if (!spec) throw std::logic_error("the layout has no frontispiece");
  std::string record;
  const FieldSpec* letter = nullptr;  // the total whose last digit may be a letter
  std::optional<SectionTally> sections;
  for (const FieldSpec& field : spec->fields) {
    const size_t before = record.size();
    if (!sections && field.fill >= FieldSource::kCount1 && field.fill <= FieldSource::kCount5) sections = tally();
    if (!PutPrefix(field, '0', 0, record)) PutFront(field, sections ? *sections : SectionTally(), record);
    if (written) written(field.fill, std::string_view(record).substr(before));
    if (field.kind == FieldKind::kLetter) letter = &field;
  }
  if (!letter) throw std::logic_error("the frontispiece has no letter-coded total");
  // Upper case but for the negative-digit letter. The 2010 writer cases
  // the characters before the letter's place, the earlier one all but the
  // record's last field (they differ only when a field came out short).
  if (layout_ == Layout::k2010) {
    const size_t place = letter->start + letter->length - 1;
    std::string cased = Upper(Utf8Left(record, place - 1));
    cased += Utf8Mid(record, place);
    return cased;
  }
  const size_t length = Utf8Length(record);
  std::string cased = Upper(Utf8Left(record, length - letter->length));
  cased += Utf8Right(record, letter->length);
  return cased;
}

void DetailBuilder::PutFront(const FieldSpec& f, const SectionTally& tally, std::string& out) {
  const Variant& month = input_.PeriodoStampa;
  // A change of periodicity declares the quarter of the month (2010 on).
  const bool change = layout_ == Layout::k2010 && input_.CambioPeriodicita;
  switch (f.fill) {
    case FieldSource::kList: out += IsNumber(input_.TipoStampa, 1) ? 'A' : 'C'; return;
    case FieldSource::kYear: out += Utf8Right(TextOf(input_.Anno), f.length); return;
    case FieldSource::kPeriodicity:
      if (change || quarterly_) {
        out += 'T';
      } else if (monthly_) {
        out += 'M';
      } else {
        // Annual lists exist before 2010 only; other periodicities have no code.
        out += layout_ == Layout::kLegacy && annual_ ? 'A' : ' ';
      }
      return;
    case FieldSource::kPeriod: {
      std::string period = "00";
      if (change) {
        const Decimal quarter = ((month.ToDecimal() - Decimal::FromInt(1)) / Decimal::FromInt(3)).Floor();
        period = (quarter + Decimal::FromInt(1)).ToString();
      } else if (monthly_) {
        period = TrimmedText(month);
      } else if (quarterly_) {
        period = TrimmedText(Divide(month, Variant::Integer(3)));
      }
      AppendZ(out, std::string(TrimBlanks(period)), f.length);
      return;
    }
    case FieldSource::kDeclarantVat: AppendZ(out, TrimmedText(input_.PartitaIva), f.length); return;
    case FieldSource::kChangeOfPeriodicity: {
      if (!input_.CambioPeriodicita) {
        out += '0';
        return;
      }
      // 8 when the change starts with the quarter's first month, else 9.
      bool firstOfQuarter = false;
      for (int m : {1, 4, 7, 10}) firstOfQuarter = firstOfQuarter || IsNumber(month, m);
      out += firstOfQuarter ? '8' : '9';
      return;
    }
    case FieldSource::kSpecialCases: {
      const std::string cases = TrimmedText(input_.CasiParticolari);
      out += cases.empty() ? std::string("0") : Utf8Right("0" + cases, 1);
      return;
    }
    case FieldSource::kBox1:
    case FieldSource::kBox2: {
      const Variant& box = f.fill == FieldSource::kBox1 ? input_.Casella1 : input_.Casella2;
      out += SeNullo(box, Variant::String("")).Text().empty() ? '0' : '1';
      return;
    }
    case FieldSource::kDelegateVat: AppendZ(out, TrimmedText(input_.PartitaIvaDeleg), f.length); return;
    case FieldSource::kCount1: return AppendNumber(out, tally.count[1], f.length);
    case FieldSource::kCount2: return AppendNumber(out, tally.count[2], f.length);
    case FieldSource::kCount3: return AppendNumber(out, tally.count[3], f.length);
    case FieldSource::kCount4: return AppendNumber(out, tally.count[4], f.length);
    case FieldSource::kTotal1: AppendZ(out, tally.total[1].ToString(), f.length); return;
    case FieldSource::kTotal2: return AppendSignedTotal(context_, out, tally.total[2], f.length);
    case FieldSource::kTotal3: AppendZ(out, tally.total[3].ToString(), f.length); return;
    // The corrections of services are written as their magnitude.
    case FieldSource::kTotal4: AppendZ(out, tally.total[4].Abs().ToString(), f.length); return;
    default: throw std::logic_error("a frontispiece field this writer does not fill: " + std::string(f.name));
  }
}

// --- the detail records -----------------------------------------------------------

void DetailBuilder::Build(const Row& row, RecordKind kind, int64_t number, std::string& out) {
  ReadLine(row);
  // Purchases (document types 3 and 4) have the records with the amount in
  // currency.
  const Spec& spec = specs_[static_cast<int>(kind)][documentType_ >= 3 ? 1 : 0];
  if (!spec.record) throw std::logic_error("the layout has no record for a line");
  // A correction of services whose value is zero cancels the line: it is
  // written without party and invoice.
  cancelled_ = false;
  if (spec.correction) {
    correction_.clear();
    AppendAmount(correction_, columns_.Get(row, kRettifica), spec.correction->length);
    cancelled_ = correction_.find_first_not_of('0') == std::string::npos;
  }
  const char type = static_cast<char>('0' + static_cast<int>(kind));
  out.assign(spec.head);
  const FieldSpec* const end = spec.record->fields.data() + spec.record->fields.size();
  for (const FieldSpec* field = spec.record->fields.data() + spec.rest; field != end; ++field) {
    Put(*field, row, type, number, out);
  }
}

// Z(width) of the rounded magnitude, or zeros on a statistical-only line.
void DetailBuilder::AppendAmount(std::string& out, const Variant& amount, size_t width) {
  if (dataKind_ == 2) {
    out.append(width, '0');
  } else {
    // The magnitude is taken before rounding (a text that is not a number
    // fails here, in the record).
    AppendZ(out, amount.IsNull() ? Decimal() : RoundToWhole(amount.ToDecimal().Abs()), width);
  }
}

// A statistical amount: zeros on a line of fiscal data only.
void DetailBuilder::AppendStatistical(std::string& out, const Row& row, LineColumn column, size_t width) {
  if (dataKind_ == 1) {
    out.append(width, '0');
  } else {
    AppendZ(out, RoundedOrZero(columns_.Get(row, column)), width);
  }
}

// A statistical place: blanks on a line of fiscal data only.
void DetailBuilder::AppendPlace(std::string& out, const Row& row, LineColumn column, size_t width) {
  if (dataKind_ == 1) {
    out.append(width, ' ');
  } else {
    AppendT(out, Text(row, column), width);
  }
}

// Sales invoices dated up to 2012 carry their journal section.
void DetailBuilder::AppendInvoiceNumber(std::string& out, const Row& row, size_t width) {
  std::string number(Trimmed(row, kNumDocOrig));
  if ((documentType_ == 1 || documentType_ == 2) && DatedUpTo2012(columns_.Get(row, kDataDocOrig))) {
    number += '/';
    number += Trimmed(row, kSezOrig);
  }
  AppendT(out, number, width);
}

// Inlined into Build: the records are built field by field, and a call per
// field would cost as much as some of the fields themselves.
[[gnu::always_inline]] inline void DetailBuilder::Put(const FieldSpec& f, const Row& row, char type, int64_t number,
                                                      std::string& out) {
  switch (f.fill) {
    case FieldSource::kMark: out += f.literal; return;
    case FieldSource::kType: out += type; return;
    case FieldSource::kLineNumber: return AppendNumber(out, number, f.length);
    case FieldSource::kPartnerState:
    case FieldSource::kPartnerVat:
      // Statistical data only, or a cancelled correction: no party.
      if (dataKind_ == 2 || cancelled_) {
        out.append(f.length, ' ');
      } else {
        AppendT(out, Text(row, f.fill == FieldSource::kPartnerState ? kCodIsoCf : kPartIva), f.length);
      }
      return;
    case FieldSource::kAmount: return AppendAmount(out, columns_.Get(row, kImporto), f.length);
    case FieldSource::kCorrectionAmount: out += correction_; return;
    case FieldSource::kCurrencyAmount:
      // A goods correction writes the magnitude; the other records keep the
      // sign inside the field.
      if (type == '2') {
        AppendZ(out, RoundedOrZero(columns_.Get(row, kImportoVal)).Abs(), f.length);
      } else {
        AppendZ(out, RoundedOrZero(columns_.Get(row, type == '4' ? kRettificaVal : kImportoVal)), f.length);
      }
      return;
    case FieldSource::kSign: out += IsNegative(columns_.Get(row, kImporto)) ? '-' : '+'; return;
    case FieldSource::kNatureA: out += CodificaNaturaTransazione(context_, columns_.Get(row, kIndNatura)).Text(); return;
    case FieldSource::kGoodsCode: AppendZ(out, Trimmed(row, kNomenclatura), f.length); return;
    case FieldSource::kNetMass: return AppendStatistical(out, row, kImpMassa, f.length);
    case FieldSource::kSupplementaryUnits: return AppendStatistical(out, row, kImpUnSuppl, f.length);
    case FieldSource::kStatisticalValue: return AppendStatistical(out, row, kValStat, f.length);
    case FieldSource::kDeliveryTerms: {
      const int terms = dataKind_ == 1 ? 0 : CodeOf(columns_.Get(row, kIndCons), 1, 4, 0);
      out += terms == 0 ? ' ' : static_cast<char>('B' + terms);  // 1 C, 2 D, 3 E, 4 F
      return;
    }
    case FieldSource::kTransportMode:
      if (dataKind_ == 1) {
        out += '0';
      } else {
        out += CodificaCifraSingola(context_, columns_.Get(row, kIndTrasp)).Text();
      }
      return;
    case FieldSource::kDestinationCountry: return AppendPlace(out, row, kCodIsoDes, f.length);
    case FieldSource::kConsignmentCountry: return AppendPlace(out, row, kCodIsoPro, f.length);
    case FieldSource::kOriginCountry: return AppendPlace(out, row, kCodIsoOri, f.length);
    case FieldSource::kOriginProvince: return AppendPlace(out, row, kProvOrig, f.length);
    case FieldSource::kDestinationProvince: return AppendPlace(out, row, kProvDest, f.length);
    case FieldSource::kReferenceMonth:
      // Only a monthly declarant names the month corrected.
      if (monthly_) {
        AppendZ(out, Text(row, kMeseRif), f.length);
      } else {
        out.append(f.length, '0');
      }
      return;
    case FieldSource::kReferenceQuarter: {
      // A quarterly declarant names the quarter; monthly and annual ones
      // (and other periodicities) write 0.
      const int month = quarterly_ ? CodeOf(columns_.Get(row, kMeseRif), 1, 12, 0) : 0;
      out += month == 0 ? '0' : static_cast<char>('1' + (month - 1) / 3);
      return;
    }
    case FieldSource::kReferenceYear:
    case FieldSource::kCorrectedYear: AppendZ(out, Text(row, kAnnoRif), f.length); return;
    case FieldSource::kCustomsSection: AppendZ(out, Trimmed(row, kSezDog), f.length); return;
    case FieldSource::kProtocol: AppendZ(out, Text(row, kProtDich), f.length); return;
    case FieldSource::kSection3Line: AppendZ(out, Text(row, kProgrSez3), f.length); return;
    // A cancelled correction has no invoice: blanks, and zeros for the
    // service code.
    case FieldSource::kInvoiceNumber:
      if (Padded(cancelled_, out, f.length, ' ')) return;
      return AppendInvoiceNumber(out, row, f.length);
    case FieldSource::kInvoiceDate:
      if (Padded(cancelled_, out, f.length, ' ')) return;
      return AppendDate(out, columns_.Get(row, kDataDocOrig));
    case FieldSource::kServiceCode:
      if (Padded(cancelled_, out, f.length, '0')) return;
      AppendZ(out, Utf8Left(Trimmed(row, kNomenclatura), f.length), f.length);
      return;
    case FieldSource::kSupplyMode:
    case FieldSource::kPaymentMode: {
      if (Padded(cancelled_, out, f.length, ' ')) return;
      const std::string_view text = Trimmed(row, f.fill == FieldSource::kSupplyMode ? kCodiceIn03 : kCodiceIn04);
      out += text.empty() ? std::string(" ") : Utf8Right(text, 1);
      return;
    }
    case FieldSource::kPaymentCountry:
      if (Padded(cancelled_, out, f.length, ' ')) return;
      AppendT(out, Text(row, kCodIsoPag), f.length);
      return;
    default: throw std::logic_error("a record field this writer does not fill: " + std::string(f.name));
  }
}

void DetailBuilder::WriteAll(const std::vector<const Row*>& rows, RecordSink& sink, int32_t& conta) {
  int64_t numbers[5] = {0, 0, 0, 0, 0};
  std::string record;
  for (size_t i = 0; i < rows.size(); ++i) {
    columns_.PrefetchAhead(rows, i);
    const Row& row = *rows[i];
    const RecordKind kind = KindOf(row);
    Build(row, kind, ++numbers[static_cast<int>(kind)], record);
    sink.WriteUpper(record);
    AddRecord(conta);
  }
}

void DetailBuilder::WriteDeclaration(Recordset& rs, const std::vector<const Row*>& rows,
                                     std::string_view frontispiece, RecordSink& sink, int32_t& conta) {
  sink.Write(frontispiece);
  AddRecord(conta);
  if (rows.empty()) rs.MoveFirst();  // no line: the detail pass has no first row
  WriteAll(rows, sink, conta);
  sink.Finish();
}

}  // namespace zelmora::telematic
