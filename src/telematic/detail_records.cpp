#include "telematic/detail_records.h"

#include <string>

#include "component/value_helpers.h"
#include "platform/error.h"
#include "platform/text_util.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

namespace {

constexpr std::string_view kZeros13 = "0000000000000";

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

void AppendNumber(std::string& out, int64_t number, size_t width) { AppendZ(out, std::to_string(number), width); }

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

void AppendSignedTotal(IntraContext& context, std::string& out, const Decimal& total) {
  if (total.Sign() >= 0) {
    AppendZ(out, total.ToString(), 13);
    return;
  }
  std::string field;
  AppendZ(field, total.Abs().ToString(), 13);
  const std::string last(1, field.back());
  field.pop_back();
  field += CodificaCifraNegativa(context, Variant::String(last)).Text();
  out += field;
}

DetailBuilder::DetailBuilder(IntraContext& context, const Recordset& rs, Layout layout)
    : context_(context), columns_(DeclarationLineColumns(rs)), layout_(layout) {
  const CLSIN_INPUTINTRA& input = context.in();
  head_ = layout == Layout::k2010 ? "EUROX" : "EUROA";
  AppendZ(head_, PresenterVat(input), 11);
  AppendZ(head_, TrimmedText(input.NumFloppy), 6);
  tipoIntra_ = input.TipoIntra;
  monthly_ = IsNumber(tipoIntra_, 1);
  quarterly_ = IsNumber(tipoIntra_, 2);
  annual_ = IsNumber(tipoIntra_, 3);
  statisticalBlock_ = layout == Layout::k2010 ? monthly_ && !input.CambioPeriodicita : monthly_;
}

RecordKind DetailBuilder::KindOf(const Row& row) const {
  const bool first = IsFirstKindDocument(columns_.Get(row, kIndTipoDoc));
  if (layout_ == Layout::kLegacy || IsGoodsLine(columns_.Get(row, kIndOper))) {
    return first ? RecordKind::kGoods : RecordKind::kGoodsCorrection;
  }
  return first ? RecordKind::kServices : RecordKind::kServicesCorrection;
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

void DetailBuilder::Build(const Row& row, RecordKind kind, int64_t number, std::string& out) {
  ReadLine(row);
  out.assign(head_);
  out += static_cast<char>('0' + static_cast<int>(kind));
  AppendNumber(out, number, 5);
  switch (kind) {
    case RecordKind::kGoods:
      return Record1(out, row);
    case RecordKind::kGoodsCorrection:
      return Record2(out, row);
    case RecordKind::kServices:
      return Record3(out, row);
    case RecordKind::kServicesCorrection:
      return Record4(out, row);
  }
}

void DetailBuilder::AppendCountry(std::string& out, const Row& row) {
  if (dataKind_ == 2) {
    out.append(2, ' ');
  } else {
    AppendT(out, Text(row, kCodIsoCf), 2);
  }
}

void DetailBuilder::AppendVat(std::string& out, const Row& row) {
  if (dataKind_ == 2) {
    out.append(12, ' ');
  } else {
    AppendT(out, Text(row, kPartIva), 12);
  }
}

// Z(13) of the rounded magnitude, or 13 zeros on a statistical-only line.
void DetailBuilder::AppendAmount(std::string& out, const Variant& amount) {
  if (dataKind_ == 2) {
    out += kZeros13;
  } else {
    // The magnitude is taken before rounding (a text that is not a number
    // fails here, in the record).
    AppendZ(out, amount.IsNull() ? Decimal() : RoundToWhole(amount.ToDecimal().Abs()), 13);
  }
}

void DetailBuilder::AppendRounded(std::string& out, const Variant& amount, size_t width) {
  AppendZ(out, RoundedOrZero(amount), width);
}

void DetailBuilder::AppendInvoiceNumber(std::string& out, const Row& row, bool withSection) {
  std::string number(Trimmed(row, kNumDocOrig));
  if (withSection && DatedUpTo2012(columns_.Get(row, kDataDocOrig))) {
    number += '/';
    number += Trimmed(row, kSezOrig);
  }
  AppendT(out, number, 15);
}

// Invoice date, service code, supply and payment modes, payment country.
void DetailBuilder::AppendServiceFields(std::string& out, const Row& row) {
  AppendDate(out, columns_.Get(row, kDataDocOrig));
  AppendZ(out, Utf8Left(Trimmed(row, kNomenclatura), 6), 6);
  for (LineColumn code : {kCodiceIn03, kCodiceIn04}) {
    std::string_view text = Trimmed(row, code);
    out += text.empty() ? std::string(" ") : Utf8Right(text, 1);
  }
  AppendT(out, Text(row, kCodIsoPag), 2);
}

void DetailBuilder::Record1(std::string& out, const Row& row) {
  const bool purchase = documentType_ == 3;
  AppendCountry(out, row);
  AppendVat(out, row);
  AppendAmount(out, columns_.Get(row, kImporto));
  if (purchase) AppendRounded(out, columns_.Get(row, kImportoVal), 13);
  out += CodificaNaturaTransazione(context_, columns_.Get(row, kIndNatura)).Text();
  if (layout_ == Layout::kLegacy && annual_) {
    out += "00000000";
  } else {
    AppendZ(out, Trimmed(row, kNomenclatura), 8);
  }
  if (!statisticalBlock_) return;
  if (dataKind_ == 1) {
    // Fiscal data only: no mass, units, value, terms, transport or places.
    out += "000000000000000000000000000000000 0";
    out.append(purchase ? 6 : 4, ' ');
    return;
  }
  AppendRounded(out, columns_.Get(row, kImpMassa), 10);
  AppendRounded(out, columns_.Get(row, kImpUnSuppl), 10);
  AppendRounded(out, columns_.Get(row, kValStat), 13);
  const int terms = CodeOf(columns_.Get(row, kIndCons), 1, 4, 0);
  out += terms == 0 ? ' ' : static_cast<char>('B' + terms);  // 1 C, 2 D, 3 E, 4 F
  out += CodificaCifraSingola(context_, columns_.Get(row, kIndTrasp)).Text();
  if (purchase) {
    AppendT(out, Text(row, kCodIsoPro), 2);
    AppendT(out, Text(row, kCodIsoOri), 2);
    AppendT(out, Text(row, kProvDest), 2);
  } else {
    AppendT(out, Text(row, kCodIsoDes), 2);
    AppendT(out, Text(row, kProvOrig), 2);
  }
}

void DetailBuilder::Record2(std::string& out, const Row& row) {
  if (monthly_) {
    AppendZ(out, Text(row, kMeseRif), 2);
    out += '0';
  } else if (quarterly_) {
    out += "00";
    const int month = CodeOf(columns_.Get(row, kMeseRif), 1, 12, 0);
    out += month == 0 ? '0' : static_cast<char>('1' + (month - 1) / 3);
  } else {
    // Annual declarations (and periodicities without a defined layout)
    // carry no reference period.
    out += "000";
  }
  AppendZ(out, Text(row, kAnnoRif), 2);
  AppendCountry(out, row);
  AppendVat(out, row);
  const Variant& amount = columns_.Get(row, kImporto);
  out += IsNegative(amount) ? '-' : '+';
  AppendAmount(out, amount);
  if (documentType_ == 4) {
    AppendZ(out, RoundedOrZero(columns_.Get(row, kImportoVal)).Abs(), 13);
  }
  out += CodificaNaturaTransazione(context_, columns_.Get(row, kIndNatura)).Text();
  AppendZ(out, Trimmed(row, kNomenclatura), 8);
  if (monthly_) {
    if (dataKind_ == 1) {
      out += kZeros13;
    } else {
      AppendRounded(out, columns_.Get(row, kValStat), 13);
    }
  }
}

void DetailBuilder::Record3(std::string& out, const Row& row) {
  AppendCountry(out, row);
  AppendVat(out, row);
  AppendAmount(out, columns_.Get(row, kImporto));
  if (documentType_ == 3) AppendRounded(out, columns_.Get(row, kImportoVal), 13);
  AppendInvoiceNumber(out, row, documentType_ == 1);
  AppendServiceFields(out, row);
}

void DetailBuilder::Record4(std::string& out, const Row& row) {
  AppendZ(out, Trimmed(row, kSezDog), 6);
  AppendZ(out, Text(row, kAnnoRif), 2);
  AppendZ(out, Text(row, kProtDich), 6);
  AppendZ(out, Text(row, kProgrSez3), 5);
  std::string correction;
  AppendAmount(correction, columns_.Get(row, kRettifica));
  // A correction whose value is zero cancels the line: no party, no invoice.
  const bool blank = correction == kZeros13;
  if (blank) {
    out.append(14, ' ');
  } else {
    AppendCountry(out, row);
    AppendVat(out, row);
  }
  out += correction;
  if (documentType_ == 4) AppendRounded(out, columns_.Get(row, kRettificaVal), 13);
  if (blank) {
    out.append(15 + 6, ' ');  // invoice number and date
    out += "000000";          // service code
    out.append(4, ' ');       // supply and payment modes, payment country
    return;
  }
  AppendInvoiceNumber(out, row, documentType_ == 2);
  AppendServiceFields(out, row);
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
