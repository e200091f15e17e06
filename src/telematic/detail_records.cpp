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

bool IsGoodsLine(const Variant& indOper) { return IsNumber(SeNullo(indOper, Variant::Integer(0)), 0); }

bool IsFirstKindDocument(const Variant& indTipoDoc) { return IsNumber(indTipoDoc, 1) || IsNumber(indTipoDoc, 3); }

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

void DetailBuilder::Build(const Row& row, RecordKind kind, int64_t number, std::string& out) {
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

void DetailBuilder::AppendCountry(std::string& out, const Row& row) const {
  if (IsNumber(columns_.Get(row, kIndTipoDati), 2)) {
    out.append(2, ' ');
  } else {
    AppendT(out, TextOf(columns_.Get(row, kCodIsoCf)), 2);
  }
}

void DetailBuilder::AppendVat(std::string& out, const Row& row) const {
  if (IsNumber(columns_.Get(row, kIndTipoDati), 2)) {
    out.append(12, ' ');
  } else {
    AppendT(out, TextOf(columns_.Get(row, kPartIva)), 12);
  }
}

// Z(13) of the rounded magnitude, or 13 zeros on a statistical-only line.
void DetailBuilder::AppendAmount(std::string& out, const Variant& amount, const Row& row) {
  if (IsNumber(columns_.Get(row, kIndTipoDati), 2)) {
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

void DetailBuilder::AppendInvoiceNumber(std::string& out, const Row& row, bool withSection) const {
  std::string number = TrimmedText(columns_.Get(row, kNumDocOrig));
  if (withSection && DatedUpTo2012(columns_.Get(row, kDataDocOrig))) {
    number += '/';
    number += TrimmedText(columns_.Get(row, kSezOrig));
  }
  AppendT(out, number, 15);
}

// Invoice date, service code, supply and payment modes, payment country.
void DetailBuilder::AppendServiceFields(std::string& out, const Row& row) const {
  AppendDate(out, columns_.Get(row, kDataDocOrig));
  AppendZ(out, Utf8Left(TrimmedText(columns_.Get(row, kNomenclatura)), 6), 6);
  for (LineColumn code : {kCodiceIn03, kCodiceIn04}) {
    std::string text = TrimmedText(columns_.Get(row, code));
    out += text.empty() ? std::string(" ") : Utf8Right(text, 1);
  }
  AppendT(out, TextOf(columns_.Get(row, kCodIsoPag)), 2);
}

void DetailBuilder::Record1(std::string& out, const Row& row) {
  const bool purchase = IsNumber(columns_.Get(row, kIndTipoDoc), 3);
  AppendCountry(out, row);
  AppendVat(out, row);
  AppendAmount(out, columns_.Get(row, kImporto), row);
  if (purchase) AppendRounded(out, columns_.Get(row, kImportoVal), 13);
  out += CodificaNaturaTransazione(context_, columns_.Get(row, kIndNatura)).Text();
  if (layout_ == Layout::kLegacy && annual_) {
    out += "00000000";
  } else {
    AppendZ(out, TrimmedText(columns_.Get(row, kNomenclatura)), 8);
  }
  if (!statisticalBlock_) return;
  if (IsNumber(columns_.Get(row, kIndTipoDati), 1)) {
    // Fiscal data only: no mass, units, value, terms, transport or places.
    out += "000000000000000000000000000000000 0";
    out.append(purchase ? 6 : 4, ' ');
    return;
  }
  AppendRounded(out, columns_.Get(row, kImpMassa), 10);
  AppendRounded(out, columns_.Get(row, kImpUnSuppl), 10);
  AppendRounded(out, columns_.Get(row, kValStat), 13);
  const Variant& terms = columns_.Get(row, kIndCons);
  char term = ' ';
  for (int code = 1; code <= 4; ++code) {
    if (IsNumber(terms, code)) term = static_cast<char>('B' + code);  // 1 C, 2 D, 3 E, 4 F
  }
  out += term;
  out += CodificaCifraSingola(context_, columns_.Get(row, kIndTrasp)).Text();
  if (purchase) {
    AppendT(out, TextOf(columns_.Get(row, kCodIsoPro)), 2);
    AppendT(out, TextOf(columns_.Get(row, kCodIsoOri)), 2);
    AppendT(out, TextOf(columns_.Get(row, kProvDest)), 2);
  } else {
    AppendT(out, TextOf(columns_.Get(row, kCodIsoDes)), 2);
    AppendT(out, TextOf(columns_.Get(row, kProvOrig)), 2);
  }
}

void DetailBuilder::Record2(std::string& out, const Row& row) {
  if (monthly_) {
    AppendZ(out, TextOf(columns_.Get(row, kMeseRif)), 2);
    out += '0';
  } else if (quarterly_) {
    out += "00";
    const Variant& month = columns_.Get(row, kMeseRif);
    char quarter = '0';
    for (int m = 1; m <= 12; ++m) {
      if (IsNumber(month, m)) quarter = static_cast<char>('1' + (m - 1) / 3);
    }
    out += quarter;
  } else {
    // Annual declarations (and periodicities without a defined layout)
    // carry no reference period.
    out += "000";
  }
  AppendZ(out, TextOf(columns_.Get(row, kAnnoRif)), 2);
  AppendCountry(out, row);
  AppendVat(out, row);
  const Variant& amount = columns_.Get(row, kImporto);
  out += IsNegative(amount) ? '-' : '+';
  AppendAmount(out, amount, row);
  if (IsNumber(columns_.Get(row, kIndTipoDoc), 4)) {
    AppendZ(out, RoundedOrZero(columns_.Get(row, kImportoVal)).Abs(), 13);
  }
  out += CodificaNaturaTransazione(context_, columns_.Get(row, kIndNatura)).Text();
  AppendZ(out, TrimmedText(columns_.Get(row, kNomenclatura)), 8);
  if (monthly_) {
    if (IsNumber(columns_.Get(row, kIndTipoDati), 1)) {
      out += kZeros13;
    } else {
      AppendRounded(out, columns_.Get(row, kValStat), 13);
    }
  }
}

void DetailBuilder::Record3(std::string& out, const Row& row) {
  const Variant& docType = columns_.Get(row, kIndTipoDoc);
  AppendCountry(out, row);
  AppendVat(out, row);
  AppendAmount(out, columns_.Get(row, kImporto), row);
  if (IsNumber(docType, 3)) AppendRounded(out, columns_.Get(row, kImportoVal), 13);
  AppendInvoiceNumber(out, row, IsNumber(docType, 1));
  AppendServiceFields(out, row);
}

void DetailBuilder::Record4(std::string& out, const Row& row) {
  const Variant& docType = columns_.Get(row, kIndTipoDoc);
  AppendZ(out, TrimmedText(columns_.Get(row, kSezDog)), 6);
  AppendZ(out, TextOf(columns_.Get(row, kAnnoRif)), 2);
  AppendZ(out, TextOf(columns_.Get(row, kProtDich)), 6);
  AppendZ(out, TextOf(columns_.Get(row, kProgrSez3)), 5);
  std::string correction;
  AppendAmount(correction, columns_.Get(row, kRettifica), row);
  // A correction whose value is zero cancels the line: no party, no invoice.
  const bool blank = correction == kZeros13;
  if (blank) {
    out.append(14, ' ');
  } else {
    AppendCountry(out, row);
    AppendVat(out, row);
  }
  out += correction;
  if (IsNumber(docType, 4)) AppendRounded(out, columns_.Get(row, kRettificaVal), 13);
  if (blank) {
    out.append(15 + 6, ' ');  // invoice number and date
    out += "000000";          // service code
    out.append(4, ' ');       // supply and payment modes, payment country
    return;
  }
  AppendInvoiceNumber(out, row, IsNumber(docType, 2));
  AppendServiceFields(out, row);
}

}  // namespace zelmora::telematic
