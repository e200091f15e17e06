#include "telematic/records_2022.h"

#include <algorithm>
#include <string>

#include "component/connection_context.h"
#include "component/value_helpers.h"
#include "platform/error.h"
#include "platform/text_util.h"
#include "telematic/detail_records.h"
#include "telematic/layout_2022_facts.h"
#include "telematic/record_fields.h"

namespace zelmora::telematic {

namespace {

// Whole units rounded half up; a non-zero value that would round to zero is
// written as 1. The result is the magnitude (no sign).
Decimal WholeHalfUp(const Decimal& value) {
  Decimal whole = value.Abs().RoundHalfAwayFromZero(0);
  if (whole.IsZero() && !value.IsZero()) whole = Decimal::FromInt(1);
  return whole.Normalized();
}

// A member state as the law's country table writes it: Greece is EL.
std::string MemberState(std::string_view iso) {
  std::string state = Upper(TrimBlanks(iso));
  if (state == "GR") state = "EL";
  return state;
}

// The VAT code without the country prefix it may have been stored with.
std::string VatCode(std::string_view stored, std::string_view state, std::string_view iso) {
  std::string vat = Upper(TrimBlanks(stored));
  for (std::string_view prefix : {state, iso}) {
    if (prefix.size() == 2 && vat.size() > 2 && vat.compare(0, 2, prefix) == 0) return vat.substr(2);
  }
  return vat;
}

bool Printable(std::string_view record) {
  return std::all_of(record.begin(), record.end(), [](char c) { return c >= 32 && c <= 126; });
}

// A field as written keeps to its kind: digits only (within the range
// when the table gives one), one of the literals, a letter-coded total, a
// day or blanks.
bool KeepsToItsKind(std::string_view value, const FieldSpec& field) {
  switch (field.kind) {
    case FieldKind::kText:
      return true;
    case FieldKind::kDigits: {
      if (!IsDigits(value)) return false;
      if (field.high == 0) return true;
      int number = 0;
      for (char c : value) number = number * 10 + (c - '0');
      return number >= field.low && number <= field.high;
    }
    case FieldKind::kLiteral: {
      for (size_t at = 0;;) {
        const size_t bar = field.literal.find('|', at);
        if (field.literal.substr(at, bar == std::string_view::npos ? bar : bar - at) == value) return true;
        if (bar == std::string_view::npos) return false;
        at = bar + 1;
      }
    }
    case FieldKind::kLetter:
      return !value.empty() && (value.size() == 1 || IsDigits(value.substr(0, value.size() - 1))) &&
             ((value.back() >= '0' && value.back() <= '9') || (value.back() >= 'p' && value.back() <= 'y'));
    case FieldKind::kDate:
      return value.find_first_not_of(' ') == std::string_view::npos || IsDigits(value);
  }
  return false;
}

// The column B a line's movements give: blank when none, '?' when they
// disagree (so the statement says), '#' for anything longer than a
// character.
char NatureB(const Variant& value) {
  if (value.IsNull()) return ' ';
  const std::string text = value.Text();
  const std::string_view b = TrimBlanks(text);
  return b.empty() ? ' ' : (b.size() == 1 ? b.front() : '#');
}

bool Letters(std::string_view text) {
  return text.size() == 2 && std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// What the writer found wrong with one line; the first one is reported.
struct Refusal {
  std::string why;
};

// The values of one line that decide its record, read and checked once.
struct Line {
  char type = 0;  // record type
  int documentType = 0;
  int dataKind = -1;
  Decimal amount;      // as written
  bool negative = false;
  Decimal currency;    // as written
  std::string state, vat, iso;
  char natureA = ' ', natureB = ' ';
  std::string code;    // goods or service code as written
};

class Writer {
 public:
  Writer(IntraContext& context, const Recordset& rs, char list)
      : context_(context), input_(context.in()), columns_(DeclarationLineColumns(rs)), list_(list) {
    monthly_ = IsNumber(input_.TipoIntra, 1) && !input_.CambioPeriodicita;
    // Only monthly goods records have a column B.
    if (monthly_) {
      natureB_ = rs.FieldIndex("ZL01_NATURAB");
      if (!natureB_) throw Error::ItemNotFound();
    }
    periodicity_ = monthly_ ? 'M' : 'T';
    presenter_ = PresenterVat(input_);
  }

  const RecordSpec* Spec(char type) const { return FindRecord(Layout2022(), type, list_, periodicity_); }

  // Reads and checks a declaration line; throws Refusal.
  Line Read(const Row& row) {
    Line line;
    line.documentType = CodeOf(Get(row, kIndTipoDoc), 1, 4, 0);
    line.dataKind = CodeOf(Get(row, kIndTipoDati), 0, 2, -1);
    if (line.documentType == 0) throw Refusal{"its document type '" + Text(row, kIndTipoDoc) + "' is not 1 to 4"};
    if (line.dataKind < 0) throw Refusal{"its kind of data '" + Text(row, kIndTipoDati) + "' is not 0, 1 or 2"};
    const bool goods = IsGoodsLine(Get(row, kIndOper));
    const bool first = line.documentType == 1 || line.documentType == 3;
    line.type = goods ? (first ? '1' : '2') : (first ? '3' : '4');

    // The party.
    if (line.dataKind != 2) {
      line.iso = Upper(TrimBlanks(Text(row, kCodIsoCf)));
      line.state = MemberState(line.iso);
      line.vat = VatCode(Text(row, kPartIva), line.state, line.iso);
    }
    if (list_ == 'C' && line.dataKind == 2) {
      throw Refusal{"it groups statistical-only movements without a partner, and a sales line needs the partner's VAT code"};
    }
    if (list_ == 'C' && line.vat.empty()) throw Refusal{"it has no partner VAT code, which a sales line needs"};
    if (!line.state.empty() && !Letters(line.state)) throw Refusal{"its member state '" + line.state + "' is not a country code"};
    if (list_ == 'C' && line.state.empty()) throw Refusal{"it has no partner member state"};
    if (line.vat.size() > 12) throw Refusal{"its partner VAT code '" + line.vat + "' is longer than 12 characters"};
    if (!goods && line.state == "XI") {
      throw Refusal{"a service with a Northern Ireland party (XI) is not an intra-community service"};
    }

    // The amounts.
    const Variant& amount = Get(row, line.type == '4' ? kRettifica : kImporto);
    const Decimal value = amount.IsNull() ? Decimal() : amount.ToDecimal();
    if (value.Sign() < 0 && line.type != '2') {
      throw Refusal{std::string(line.type == '4' ? "its corrected value " : "its amount ") + value.ToString() +
                    " is negative after netting: a credit note that does not net within its invoice's period is a "
                    "correction of the period it corrects"};
    }
    line.amount = WholeHalfUp(value);
    line.negative = value.Sign() < 0;
    if (list_ == 'A') {
      const Variant& foreign = Get(row, line.type == '4' ? kRettificaVal : kImportoVal);
      const Decimal currency = foreign.IsNull() ? Decimal() : foreign.ToDecimal();
      if (currency.Sign() < 0 && line.type != '2') {
        throw Refusal{"its amount in currency " + currency.ToString() + " is negative after netting"};
      }
      line.currency = WholeHalfUp(currency);
    }

    // The codes.
    const std::string code(TrimBlanks(Text(row, kNomenclatura)));
    if (goods) {
      if (code.size() != 8 || !IsDigits(code)) throw Refusal{"its goods code '" + code + "' is not 8 digits"};
      line.code = code;
      const int nature = CodeOf(Get(row, kIndNatura), 0, 99, -1);
      if (NatureWithdrawn2022(nature)) {
        throw Refusal{"its nature of transaction " + std::to_string(nature) + " is withdrawn from 2022"};
      }
      line.natureA = nature < 0 ? '\0' : NatureColumnA2022(nature);
      if (line.natureA == '\0') {
        throw Refusal{"its nature of transaction '" + Text(row, kIndNatura) + "' has no code in the 2022 table"};
      }
      if (line.type == '1' && natureB_) {
        line.natureB = NatureB(row[*natureB_]);
        if (line.natureB == '?') throw Refusal{"its movements carry different natures of column B"};
        if (line.natureB != ' ' && (line.natureB < '1' || line.natureB > '9')) {
          throw Refusal{std::string("its nature of column B '") + line.natureB + "' is not a digit 1 to 9"};
        }
        if (line.natureB != ' ' && !(line.natureA >= '1' && line.natureA <= '9')) {
          throw Refusal{"its nature of column B '" + std::string(1, line.natureB) +
                        "' is given for a triangular operation, which leaves column B blank"};
        }
      }
    } else {
      std::string service = code;
      if (service.size() > 6 && service.find_first_not_of('0', 6) == std::string::npos) service.resize(6);
      if (service.size() == 5) service += kServiceCodePad;
      if (service.size() != 6 || !IsDigits(service)) throw Refusal{"its service code '" + code + "' is not 5 or 6 digits"};
      line.code = service;
    }
    if (line.type == '4' && kSection3LineAboveZero) {
      const Variant& progressive = Get(row, kProgrSez3);
      if (progressive.IsNull() || progressive.ToDecimal().Sign() <= 0) {
        throw Refusal{"the section-3 line it corrects has no progressive above zero"};
      }
    }
    return line;
  }

  // The record of a line, field by field.
  void Build(const Row* row, const Line* line, const CallOffMovement* callOff, const RecordSpec& spec,
             int64_t number, std::string& out) {
    out.clear();
    for (const FieldSpec& field : spec.fields) {
      const size_t before = out.size();
      Put(field, row, line, callOff, spec.type, number, out);
      const std::string_view written = std::string_view(out).substr(before);
      if (!Printable(written)) {
        throw Refusal{"its " + std::string(field.name) + " '" + std::string(TrimBlanks(written)) +
                      "' holds characters outside printable ASCII"};
      }
      if (out.size() - before != field.length) {
        throw Refusal{"its field " + std::string(field.name) + " came out " + std::to_string(out.size() - before) +
                      " characters long instead of " + std::to_string(field.length)};
      }
      if (!KeepsToItsKind(written, field)) {
        throw Refusal{"its " + std::string(field.name) + " would be written '" + std::string(written) +
                      "', which the layout does not allow there"};
      }
    }
  }

  // The frontispiece's counts and totals.
  int64_t counts[6] = {};
  Decimal totals[5];

 private:
  const Variant& Get(const Row& row, LineColumn column) const { return columns_.Get(row, column); }
  std::string Text(const Row& row, LineColumn column) const { return Get(row, column).Text(); }

  void Number(std::string& out, const Decimal& whole, const FieldSpec& field) {
    const std::string digits = whole.ToString();
    if (digits.size() > field.length) {
      throw Refusal{"its " + std::string(field.name) + " " + digits + " does not fit " + std::to_string(field.length) +
                    " digits"};
    }
    AppendZ(out, digits, field.length);
  }
  void Digits(std::string& out, std::string_view text, const FieldSpec& field) {
    const std::string_view trimmed = TrimBlanks(text);
    if (!trimmed.empty() && !IsDigits(trimmed)) {
      throw Refusal{"its " + std::string(field.name) + " '" + std::string(trimmed) + "' is not a number"};
    }
    if (trimmed.size() > field.length) {
      throw Refusal{"its " + std::string(field.name) + " '" + std::string(trimmed) + "' does not fit " +
                    std::to_string(field.length) + " digits"};
    }
    AppendZ(out, trimmed, field.length);
  }
  void Rounded(std::string& out, const Variant& value, const FieldSpec& field) {
    const Decimal number = value.IsNull() ? Decimal() : value.ToDecimal();
    if (number.Sign() < 0) throw Refusal{"its " + std::string(field.name) + " " + number.ToString() + " is negative"};
    Number(out, WholeHalfUp(number), field);
  }
  void TextField(std::string& out, std::string_view text, const FieldSpec& field) {
    AppendT(out, Upper(TrimBlanks(text)), field.length);
  }
  void Total(std::string& out, const Decimal& total, const FieldSpec& field) {
    if (field.kind != FieldKind::kLetter) {
      if (total.Sign() < 0) throw Refusal{"the " + std::string(field.name) + " " + total.ToString() + " is negative"};
      return Number(out, total, field);
    }
    std::string digits;
    Number(digits, total.Abs(), field);
    if (total.Sign() < 0) digits.back() = static_cast<char>('p' + (digits.back() - '0'));
    out += digits;
  }

  void Put(const FieldSpec& f, const Row* row, const Line* line, const CallOffMovement* callOff, char type,
            int64_t number, std::string& out) {
    switch (f.fill) {
      case FieldSource::kMark: out += f.literal; return;
      case FieldSource::kPresenterVat: return Digits(out, presenter_, f);
      case FieldSource::kSubmission: return Digits(out, TrimmedText(input_.NumFloppy), f);
      case FieldSource::kType: out += type; return;
      case FieldSource::kLineNumber: return Number(out, Decimal::FromInt(number), f);
      case FieldSource::kList: out += list_; return;
      case FieldSource::kYear: return Digits(out, Utf8Right(TrimmedText(input_.Anno), 2), f);
      case FieldSource::kPeriodicity: out += periodicity_; return;
      case FieldSource::kPeriod: {
        const int month = CodeOf(input_.PeriodoStampa, 1, 12, 0);
        if (month == 0) throw Refusal{"the period '" + input_.PeriodoStampa.Text() + "' is not a month 1 to 12"};
        return Number(out, Decimal::FromInt(monthly_ ? month : (month - 1) / 3 + 1), f);
      }
      case FieldSource::kDeclarantVat: return Digits(out, TrimmedText(input_.PartitaIva), f);
      case FieldSource::kChangeOfPeriodicity: {
        const int month = CodeOf(input_.PeriodoStampa, 1, 12, 0);
        out += !input_.CambioPeriodicita ? '0' : (month % 3 == 1 ? '8' : '9');
        return;
      }
      case FieldSource::kSpecialCases: {
        const std::string cases = TrimmedText(input_.CasiParticolari);
        return Digits(out, cases.empty() ? std::string("0") : Utf8Right(cases, 1), f);
      }
      case FieldSource::kDelegateVat: return Digits(out, TrimmedText(input_.PartitaIvaDeleg), f);
      // The header's fields (the header writer fills them) and the boxes of
      // the layout before 2010 are in no declaration record of 2022.
      case FieldSource::kUserCode:
      case FieldSource::kFileName:
      case FieldSource::kHeaderSection:
      case FieldSource::kApplicant:
      case FieldSource::kUserSite:
      case FieldSource::kRecordCount:
      case FieldSource::kBox1:
      case FieldSource::kBox2:
        throw Refusal{"the " + std::string(f.name) + " is no field of a 2022 declaration record"};
      case FieldSource::kCount1: return Number(out, Decimal::FromInt(counts[1]), f);
      case FieldSource::kCount2: return Number(out, Decimal::FromInt(counts[2]), f);
      case FieldSource::kCount3: return Number(out, Decimal::FromInt(counts[3]), f);
      case FieldSource::kCount4: return Number(out, Decimal::FromInt(counts[4]), f);
      case FieldSource::kCount5: return Number(out, Decimal::FromInt(counts[5]), f);
      case FieldSource::kTotal1: return Total(out, totals[1], f);
      case FieldSource::kTotal2: return Total(out, totals[2], f);
      case FieldSource::kTotal3: return Total(out, totals[3], f);
      case FieldSource::kTotal4: return Total(out, totals[4], f);
      case FieldSource::kPartnerState: return AppendT(out, line->state, f.length);
      case FieldSource::kPartnerVat: return AppendT(out, line->vat, f.length);
      case FieldSource::kAmount:
      case FieldSource::kCorrectionAmount: return Number(out, line->amount, f);
      case FieldSource::kCurrencyAmount: return Number(out, line->currency, f);
      case FieldSource::kSign: out += line->negative ? '-' : '+'; return;
      case FieldSource::kNatureA: out += line->natureA; return;
      case FieldSource::kNatureB: out += line->natureB; return;
      case FieldSource::kGoodsCode:
      case FieldSource::kServiceCode: out += line->code; return;
      case FieldSource::kNetMass: return Statistical(out, *row, *line, kImpMassa, f);
      case FieldSource::kSupplementaryUnits: return Statistical(out, *row, *line, kImpUnSuppl, f);
      case FieldSource::kStatisticalValue: return Statistical(out, *row, *line, kValStat, f);
      case FieldSource::kDeliveryTerms: {
        const int terms = line->dataKind == 1 ? 0 : CodeOf(Get(*row, kIndCons), 1, 4, 0);
        out += terms == 0 ? ' ' : static_cast<char>('B' + terms);  // 1 C, 2 D, 3 E, 4 F
        return;
      }
      case FieldSource::kTransportMode: {
        const Variant& mode = Get(*row, kIndTrasp);
        if (line->dataKind == 1 || mode.IsNull()) {
          out += '0';
          return;
        }
        const int code = CodeOf(mode, 0, 9, -1);
        if (code < 0) throw Refusal{"its transport mode '" + mode.Text() + "' is not one digit"};
        out += static_cast<char>('0' + code);
        return;
      }
      case FieldSource::kDestinationCountry: return Place(out, *line, MemberState(Text(*row, kCodIsoDes)), f);
      case FieldSource::kConsignmentCountry: return Place(out, *line, MemberState(Text(*row, kCodIsoPro)), f);
      case FieldSource::kOriginCountry: return Place(out, *line, Upper(TrimBlanks(Text(*row, kCodIsoOri))), f);
      case FieldSource::kOriginProvince: return Place(out, *line, Upper(TrimBlanks(Text(*row, kProvOrig))), f);
      case FieldSource::kDestinationProvince: return Place(out, *line, Upper(TrimBlanks(Text(*row, kProvDest))), f);
      case FieldSource::kReferenceMonth:
        if (monthly_) return Digits(out, Text(*row, kMeseRif), f);
        out += "00";
        return;
      case FieldSource::kReferenceQuarter: {
        if (monthly_) {
          out += '0';
          return;
        }
        const int month = CodeOf(Get(*row, kMeseRif), 1, 12, 0);
        if (month == 0) throw Refusal{"its reference month '" + Text(*row, kMeseRif) + "' is not 1 to 12"};
        out += static_cast<char>('1' + (month - 1) / 3);
        return;
      }
      case FieldSource::kReferenceYear:
      case FieldSource::kCorrectedYear: return Digits(out, Utf8Right(Text(*row, kAnnoRif), 2), f);
      case FieldSource::kCustomsSection: return Digits(out, Text(*row, kSezDog), f);
      case FieldSource::kProtocol: return Digits(out, Text(*row, kProtDich), f);
      case FieldSource::kSection3Line: return Digits(out, Text(*row, kProgrSez3), f);
      case FieldSource::kInvoiceNumber: {
        std::string invoice(TrimBlanks(Text(*row, kNumDocOrig)));
        const Variant& date = Get(*row, kDataDocOrig);
        const bool withSection = line->documentType == 1 || line->documentType == 2;
        if (withSection && !date.IsEmptyOrNull() && !(date.type() == VarType::String && date.AsString().empty()) &&
            date.ToDate().year() <= 2012) {
          invoice += '/';
          invoice += TrimBlanks(Text(*row, kSezOrig));
        }
        return TextField(out, invoice, f);
      }
      case FieldSource::kInvoiceDate: return AppendDate(out, Get(*row, kDataDocOrig));
      case FieldSource::kSupplyMode:
      case FieldSource::kPaymentMode: {
        const std::string text = Text(*row, f.fill == FieldSource::kSupplyMode ? kCodiceIn03 : kCodiceIn04);
        const std::string_view mode = TrimBlanks(text);
        out += mode.empty() ? std::string(" ") : Upper(Utf8Right(mode, 1));
        return;
      }
      case FieldSource::kPaymentCountry: return TextField(out, Text(*row, kCodIsoPag), f);
      case FieldSource::kConsigneeState: return AppendT(out, callOff->state, f.length);
      case FieldSource::kConsigneeVat: return AppendT(out, callOff->vat, f.length);
      case FieldSource::kCallOffOperation: out += static_cast<char>('0' + callOff->operation); return;
      case FieldSource::kNewConsigneeState: return AppendT(out, callOff->newState, f.length);
      case FieldSource::kNewConsigneeVat: return AppendT(out, callOff->newVat, f.length);
    }
  }

  // A statistical amount: zeros on a line of fiscal data only.
  void Statistical(std::string& out, const Row& row, const Line& line, LineColumn column, const FieldSpec& f) {
    if (line.dataKind == 1) {
      out.append(f.length, '0');
      return;
    }
    Rounded(out, Get(row, column), f);
  }
  // A statistical place: blanks on a line of fiscal data only.
  void Place(std::string& out, const Line& line, const std::string& value, const FieldSpec& f) {
    if (line.dataKind == 1) {
      out.append(f.length, ' ');
      return;
    }
    AppendT(out, value, f.length);
  }

  IntraContext& context_;
  const CLSIN_INPUTINTRA& input_;
  LineColumns columns_;
  std::optional<size_t> natureB_;  // the line's column B, in monthly declarations
  char list_;
  bool monthly_ = false;
  char periodicity_ = 'M';
  std::string presenter_;
};

std::string Describe(const Recordset& rs, const Row& row, const LineColumns& columns, size_t n, char list) {
  static const char* kSections[] = {"", "goods", "goods correction", "services", "services correction"};
  const bool goods = IsGoodsLine(columns.Get(row, kIndOper));
  const bool first = IsFirstKindDocument(columns.Get(row, kIndTipoDoc));
  (void)rs;
  std::string what = std::string(list == 'A' ? "purchases " : "sales ") + kSections[goods ? (first ? 1 : 2) : (first ? 3 : 4)] +
                     " line " + std::to_string(n) + " (" + std::string(TrimBlanks(columns.Get(row, kNomenclatura).Text()));
  const std::string state(TrimBlanks(columns.Get(row, kCodIsoCf).Text()));
  const std::string vat(TrimBlanks(columns.Get(row, kPartIva).Text()));
  if (!state.empty() || !vat.empty()) what += ", " + state + (state.empty() || vat.empty() ? "" : " ") + vat;
  return what + ")";
}

}  // namespace

// --- call-off stock -----------------------------------------------------------

std::vector<CallOffMovement> ReadCallOffStock(IntraContext& context) {
  const CLSIN_INPUTINTRA& input = context.in();
  const int month = CodeOf(input.PeriodoStampa, 1, 12, 0);
  const bool monthly = IsNumber(input.TipoIntra, 1) && !input.CambioPeriodicita;
  const int first = monthly ? month : month - 2;
  const std::string sql =
      "SELECT ZL02_ID, ZL02_STATO, ZL02_PARTIVA, ZL02_OPERAZIONE, ZL02_STATONUOVO, ZL02_PARTIVANUOVO\r\n"
      "FROM ZL02_CALLOFFSTOCK WITH(NOLOCK)\r\nWHERE ZL02_DITTA_CG18 = " + input.Ditta.Text() +
      " AND ZL02_ANNO = " + input.Anno.Text() + " AND ZL02_MESE BETWEEN " + std::to_string(first) + " AND " +
      std::to_string(month) + "\r\nORDER BY ZL02_ID";
  RecordsetPtr rows = context.connection().Execute(sql, kCmdText);
  std::vector<CallOffMovement> out;
  for (const Row* row : rows->VisibleRows()) {
    CallOffMovement movement;
    movement.id = (*row)[0].Text();
    movement.state = MemberState((*row)[1].Text());
    movement.vat = VatCode((*row)[2].Text(), movement.state, Upper(TrimBlanks((*row)[1].Text())));
    movement.operation = CodeOf((*row)[3], 1, 3, 0);
    movement.newState = MemberState((*row)[4].Text());
    movement.newVat = VatCode((*row)[5].Text(), movement.newState, Upper(TrimBlanks((*row)[4].Text())));
    out.push_back(std::move(movement));
  }
  return out;
}

namespace {

std::string CallOffRefusal(const CallOffMovement& m) {
  if (!Letters(m.state)) return "its consignee member state '" + m.state + "' is not a country code";
  if (m.vat.empty()) return "it has no consignee VAT code";
  if (m.vat.size() > 12) return "its consignee VAT code '" + m.vat + "' is longer than 12 characters";
  if (m.operation == 0) return "its operation is not 1, 2 or 3";
  if (m.operation == 3) {
    if (!Letters(m.newState) || m.newVat.empty()) return "operation 3 needs the new consignee's member state and VAT code";
    if (m.newVat.size() > 12) return "the new consignee's VAT code '" + m.newVat + "' is longer than 12 characters";
  } else if (!m.newState.empty() || !m.newVat.empty()) {
    return "only operation 3 names a new consignee";
  }
  return "";
}

}  // namespace

void WriteDeclaration2022(IntraContext& context, const Recordset& rs, const std::vector<const Row*>& rows,
                          const std::vector<CallOffMovement>& callOff, char list,
                          std::string& out, int32_t& conta, std::vector<RefusedLine>& refused) {
  Writer writer(context, rs, list);
  const LineColumns columns = DeclarationLineColumns(rs);
  const int tipoStampa = list == 'A' ? 1 : 0;
  const size_t refusedBefore = refused.size();
  // The frontispiece goes first but counts what follows: its place is kept
  // at the head of the records and filled last, so that the records are
  // not copied behind it.
  const RecordSpec* front = writer.Spec('0');
  const size_t frontLength = front ? front->length + 2 : 0;
  std::string details(frontLength, ' '), record;
  details.reserve(frontLength + rows.size() * 124);
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = *rows[i];
    try {
      const Line line = writer.Read(row);
      const RecordSpec* spec = writer.Spec(line.type);
      if (!spec) throw Refusal{"the 2022 layout has no such record for this list and periodicity"};
      const int kind = line.type - '0';
      writer.Build(&row, &line, nullptr, *spec, writer.counts[kind] + 1, record);
      details += record;
      details += "\r\n";
      writer.counts[kind] += 1;
      writer.totals[kind] += line.negative ? -line.amount : line.amount;
    } catch (const Refusal& refusal) {
      refused.push_back({tipoStampa, i + 1, Describe(rs, row, columns, i + 1, list), refusal.why, ""});
    } catch (const Error& error) {
      refused.push_back({tipoStampa, i + 1, Describe(rs, row, columns, i + 1, list), error.description(), ""});
    }
  }
  for (const CallOffMovement& movement : callOff) {
    const std::string what = "call-off stock movement " + movement.id + " (" + movement.state + " " + movement.vat + ")";
    std::string why = CallOffRefusal(movement);
    const RecordSpec* spec = writer.Spec('5');
    if (why.empty() && !spec) why = "only a sales list has call-off stock records";
    if (why.empty()) {
      try {
        writer.Build(nullptr, nullptr, &movement, *spec, writer.counts[5] + 1, record);
      } catch (const Refusal& refusal) {
        why = refusal.why;
      }
    }
    if (!why.empty()) {
      refused.push_back({tipoStampa, 0, what, why, ""});
      continue;
    }
    details += record;
    details += "\r\n";
    writer.counts[5] += 1;
  }
  if (refused.size() != refusedBefore) return;

  if (!front) throw Error(5, std::string("the 2022 layout has no frontispiece for list ") + list);
  std::string frontispiece;
  try {
    writer.Build(nullptr, nullptr, nullptr, *front, 0, frontispiece);
  } catch (const Refusal& refusal) {
    refused.push_back({tipoStampa, 0, std::string(list == 'A' ? "purchases" : "sales") + " frontispiece", refusal.why, ""});
    return;
  }
  int64_t records = 1;
  for (int kind = 1; kind <= 5; ++kind) records += writer.counts[kind];
  if (conta > INT32_MAX - records) throw Error::Overflow();
  frontispiece += "\r\n";
  details.replace(0, frontLength, frontispiece);
  AppendOrTake(out, std::move(details));
  conta += static_cast<int32_t>(records);
}

}  // namespace zelmora::telematic
