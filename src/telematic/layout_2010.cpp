// The 2010 layout (reference periods from 2010 to 2021) and the layout
// before it, as tables: what the 2010 and the earlier writer fill field by
// field, and (for 2010) what the format check and the summaries read.
//
// In 2010 both lists share one frontispiece; the detail records differ by
// list (purchases add the amount in currency) and, for goods, by
// periodicity (monthly lists add the statistical fields). Before 2010 the
// file had goods records only, an annual periodicity and two boxes of the
// cover page where 2010 has the change of periodicity and the special cases.

#include "telematic/record_layout.h"

namespace zelmora::telematic {

namespace {

using namespace field_kinds;

using Fields = std::vector<FieldSpec>;

Fields Join(Fields a, const Fields& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The same fields `by` characters further on (after the purchases' amount
// in currency, or a correction's reference fields).
Fields Shifted(Fields fields, size_t by) {
  for (FieldSpec& field : fields) field.start += by;
  return fields;
}

// The first 28 characters of every record: the layout's mark, the
// presenter, the submission, the record type and its line number.
struct Prefix {
  std::string_view mark;   // EUROX, EUROA before 2010
  std::string_view types;  // the record types of the layout

  Fields Of(bool frontispiece) const {
    return {{1, 5, L, mark == "EUROX" ? "fixed EUROX" : "fixed EUROA", FieldSource::kMark, mark},
            {6, 11, D, "presenter VAT", FieldSource::kPresenterVat},
            {17, 6, D, "list reference number", FieldSource::kSubmission},
            {23, 1, L, "record type", FieldSource::kType, types},
            frontispiece ? FieldSpec{24, 5, L, "line number", FieldSource::kLineNumber, "00000"}
                         : FieldSpec{24, 5, D, "line number", FieldSource::kLineNumber}};
  }
  RecordSpec Record(char type, char list, char periodicity, std::string_view name, size_t length,
                    const Fields& rest) const {
    return {type, list, periodicity, name, length, Join(Of(type == '0'), rest)};
  }
};

// The frontispiece's counts and totals of goods and their corrections.
const Fields kGoodsSections{{59, 5, D, "goods lines", FieldSource::kCount1},
                            {64, 13, D, "goods total", FieldSource::kTotal1},
                            {77, 5, D, "goods correction lines", FieldSource::kCount2},
                            {82, 13, Z, "goods corrections total", FieldSource::kTotal2}};

// Records 1 and 2, goods and their corrections, of each list; `legacy`
// adds the annual goods record, which has no goods code.
void AddGoodsRecords(LayoutSpec& layout, const Prefix& prefix, bool legacy) {
  const Fields party{{29, 2, X, "member state", FieldSource::kPartnerState},
                     {31, 12, X, "party VAT", FieldSource::kPartnerVat},
                     {43, 13, D, "amount", FieldSource::kAmount}};
  const Fields currency{{56, 13, D, "currency amount", FieldSource::kCurrencyAmount}};
  const Fields goods{{56, 1, X, "nature of transaction", FieldSource::kNatureA},
                     {57, 8, D, "nomenclature", FieldSource::kGoodsCode}};
  const Fields annual{{56, 1, X, "nature of transaction", FieldSource::kNatureA},
                      {57, 8, L, "nomenclature", FieldSource::kMark, "00000000"}};
  const Fields sales_statistics{{65, 10, D, "net mass kg", FieldSource::kNetMass},
                                {75, 10, D, "supplementary units", FieldSource::kSupplementaryUnits},
                                {85, 13, D, "statistical value", FieldSource::kStatisticalValue},
                                {98, 1, X, "delivery terms", FieldSource::kDeliveryTerms},
                                {99, 1, D, "transport mode", FieldSource::kTransportMode},
                                {100, 2, X, "country of destination", FieldSource::kDestinationCountry},
                                {102, 2, X, "province of origin", FieldSource::kOriginProvince}};
  const Fields purchase_statistics{{78, 10, D, "net mass kg", FieldSource::kNetMass},
                                   {88, 10, D, "supplementary units", FieldSource::kSupplementaryUnits},
                                   {98, 13, D, "statistical value", FieldSource::kStatisticalValue},
                                   {111, 1, X, "delivery terms", FieldSource::kDeliveryTerms},
                                   {112, 1, D, "transport mode", FieldSource::kTransportMode},
                                   {113, 2, X, "country of consignment", FieldSource::kConsignmentCountry},
                                   {115, 2, X, "country of origin", FieldSource::kOriginCountry},
                                   {117, 2, X, "province of destination", FieldSource::kDestinationProvince}};
  const Fields sales_goods = Join(party, goods);
  const Fields purchase_goods = Join(Join(party, currency), Shifted(goods, 13));
  layout.details.push_back(prefix.Record('1', 'C', 'T', "1 goods", 64, sales_goods));
  layout.details.push_back(prefix.Record('1', 'A', 'T', "1 goods", 77, purchase_goods));
  layout.details.push_back(prefix.Record('1', 'C', 'M', "1 goods", 103, Join(sales_goods, sales_statistics)));
  layout.details.push_back(prefix.Record('1', 'A', 'M', "1 goods", 118, Join(purchase_goods, purchase_statistics)));
  if (legacy) {
    layout.details.push_back(prefix.Record('1', 'C', 'A', "1 goods", 64, Join(party, annual)));
    layout.details.push_back(
        prefix.Record('1', 'A', 'A', "1 goods", 77, Join(Join(party, currency), Shifted(annual, 13))));
  }

  // Record 2: the period corrected, party, sign and amount. The quarterly
  // record serves the lists that are neither monthly nor quarterly too:
  // their period is all zeros.
  const Fields quarterly_period{{29, 2, L, "reference month", FieldSource::kReferenceMonth, "00"},
                                {31, 1, L, "reference quarter", FieldSource::kReferenceQuarter, "1|2|3|4"},
                                {32, 2, D, "reference year", FieldSource::kReferenceYear}};
  const Fields monthly_period{{29, 2, D, "reference month", FieldSource::kReferenceMonth, "", 1, 12},
                              {31, 1, L, "reference quarter", FieldSource::kReferenceQuarter, "0"},
                              {32, 2, D, "reference year", FieldSource::kReferenceYear}};
  const Fields correction{{34, 2, X, "member state", FieldSource::kPartnerState},
                          {36, 12, X, "party VAT", FieldSource::kPartnerVat},
                          {48, 1, L, "sign", FieldSource::kSign, "+|-"},
                          {49, 13, D, "amount", FieldSource::kAmount}};
  const Fields correction_goods{{62, 1, X, "nature of transaction", FieldSource::kNatureA},
                                {63, 8, D, "nomenclature", FieldSource::kGoodsCode}};
  const Fields sales_correction = Join(correction, correction_goods);
  const Fields purchase_correction =
      Join(Join(correction, {{62, 13, D, "currency amount", FieldSource::kCurrencyAmount}}), Shifted(correction_goods, 13));
  layout.details.push_back(
      prefix.Record('2', 'C', 'T', "2 goods correction", 70, Join(quarterly_period, sales_correction)));
  layout.details.push_back(
      prefix.Record('2', 'A', 'T', "2 goods correction", 83, Join(quarterly_period, purchase_correction)));
  layout.details.push_back(prefix.Record(
      '2', 'C', 'M', "2 goods correction", 83,
      Join(Join(monthly_period, sales_correction), {{71, 13, D, "statistical value", FieldSource::kStatisticalValue}})));
  layout.details.push_back(prefix.Record(
      '2', 'A', 'M', "2 goods correction", 96,
      Join(Join(monthly_period, purchase_correction), {{84, 13, D, "statistical value", FieldSource::kStatisticalValue}})));
}

LayoutSpec Build2010() {
  LayoutSpec layout;
  layout.name = "2010";
  const Prefix prefix{"EUROX", "0|1|2|3|4"};

  const Fields declaration{{29, 1, L, "list", FieldSource::kList, "C|A"},
                           {30, 2, D, "year", FieldSource::kYear},
                           {32, 1, L, "periodicity", FieldSource::kPeriodicity, "M|T"},
                           {33, 2, D, "period", FieldSource::kPeriod},
                           {35, 11, D, "declarant VAT", FieldSource::kDeclarantVat},
                           {46, 1, L, "change of periodicity", FieldSource::kChangeOfPeriodicity, "0|8|9"},
                           {47, 1, D, "special cases", FieldSource::kSpecialCases},
                           {48, 11, D, "delegate VAT", FieldSource::kDelegateVat}};
  const Fields services{{95, 5, D, "service lines", FieldSource::kCount3},
                        {100, 13, D, "services total", FieldSource::kTotal3},
                        {113, 5, D, "service correction lines", FieldSource::kCount4},
                        {118, 13, D, "service corrections total", FieldSource::kTotal4}};
  layout.frontispieces.push_back(
      prefix.Record('0', 0, 0, "0 frontispiece", 130, Join(Join(declaration, kGoodsSections), services)));

  AddGoodsRecords(layout, prefix, false);

  // Record 3, services; record 4, corrections of services.
  const Fields party{{29, 2, X, "member state", FieldSource::kPartnerState},
                     {31, 12, X, "party VAT", FieldSource::kPartnerVat},
                     {43, 13, D, "amount", FieldSource::kAmount}};
  const Fields currency{{56, 13, D, "currency amount", FieldSource::kCurrencyAmount}};
  const Fields invoice{{56, 15, X, "invoice number", FieldSource::kInvoiceNumber},
                       {71, 6, T, "invoice date", FieldSource::kInvoiceDate},
                       {77, 6, D, "service code", FieldSource::kServiceCode},
                       {83, 1, X, "supply mode", FieldSource::kSupplyMode},
                       {84, 1, X, "payment mode", FieldSource::kPaymentMode},
                       {85, 2, X, "payment country", FieldSource::kPaymentCountry}};
  layout.details.push_back(prefix.Record('3', 'C', 0, "3 services", 86, Join(party, invoice)));
  layout.details.push_back(
      prefix.Record('3', 'A', 0, "3 services", 99, Join(Join(party, currency), Shifted(invoice, 13))));
  const Fields corrected{{29, 6, D, "customs section of the corrected declaration", FieldSource::kCustomsSection},
                         {35, 2, D, "year of the corrected declaration", FieldSource::kCorrectedYear},
                         {37, 6, D, "protocol of the corrected declaration", FieldSource::kProtocol},
                         {43, 5, D, "line to correct", FieldSource::kSection3Line},
                         {48, 2, X, "member state", FieldSource::kPartnerState},
                         {50, 12, X, "party VAT", FieldSource::kPartnerVat},
                         {62, 13, D, "amount", FieldSource::kCorrectionAmount}};
  layout.details.push_back(
      prefix.Record('4', 'C', 0, "4 service correction", 105, Join(corrected, Shifted(invoice, 19))));
  layout.details.push_back(prefix.Record(
      '4', 'A', 0, "4 service correction", 118,
      Join(Join(corrected, {{75, 13, D, "currency amount", FieldSource::kCurrencyAmount}}), Shifted(invoice, 32))));
  return layout;
}

LayoutSpec BuildLegacy() {
  LayoutSpec layout;
  layout.name = "before 2010";
  const Prefix prefix{"EUROA", "0|1|2"};
  const Fields declaration{{29, 1, L, "list", FieldSource::kList, "C|A"},
                           {30, 2, D, "year", FieldSource::kYear},
                           {32, 1, L, "periodicity", FieldSource::kPeriodicity, "M|T|A"},
                           {33, 2, D, "period", FieldSource::kPeriod},
                           {35, 11, D, "declarant VAT", FieldSource::kDeclarantVat},
                           {46, 1, L, "cover page box 1", FieldSource::kBox1, "0|1"},
                           {47, 1, L, "cover page box 2", FieldSource::kBox2, "0|1"},
                           {48, 11, D, "delegate VAT", FieldSource::kDelegateVat}};
  layout.frontispieces.push_back(prefix.Record('0', 0, 0, "0 frontispiece", 94, Join(declaration, kGoodsSections)));
  AddGoodsRecords(layout, prefix, true);
  return layout;
}

RecordSpec BuildHeader() {
  return {0,
          0,
          0,
          "header",
          75,
          {{1, 4, X, "user code", FieldSource::kUserCode},
           {5, 12, L, "reserved", FieldSource::kMark, "            "},
           {17, 12, X, "file name", FieldSource::kFileName},
           {29, 12, L, "reserved", FieldSource::kMark, "            "},
           {41, 6, D, "customs section", FieldSource::kHeaderSection},
           {47, 4, L, "reserved", FieldSource::kMark, "    "},
           {51, 16, X, "applicant VAT / tax code", FieldSource::kApplicant},
           {67, 3, D, "user site progressive", FieldSource::kUserSite},
           {70, 1, L, "reserved", FieldSource::kMark, " "},
           {71, 5, D, "number of records", FieldSource::kRecordCount}}};
}

SubmissionFormat BuildFormat() {
  SubmissionFormat f;
  const RecordSpec& header = HeaderRecord();
  f.header = LayoutOf(header);
  const FieldSpec* count = FindField(header, FieldSource::kRecordCount);
  f.header_count_start = count->start;
  f.header_count_length = count->length;
  DeriveDeclarationFormat(Layout2010(), f);
  return f;
}

}  // namespace

const LayoutSpec& Layout2010() {
  static const LayoutSpec layout = Build2010();
  return layout;
}

const LayoutSpec& LayoutLegacy() {
  static const LayoutSpec layout = BuildLegacy();
  return layout;
}

const RecordSpec& HeaderRecord() {
  static const RecordSpec header = BuildHeader();
  return header;
}

const SubmissionFormat& Format2010() {
  static const SubmissionFormat format = BuildFormat();
  return format;
}

}  // namespace zelmora::telematic
