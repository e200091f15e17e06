// The layout in force for reference periods from January 2022: the 2010
// records with the sales frontispiece at 135 (the count of section 5),
// monthly goods records carrying the nature's column B (and, for sales, the
// country of origin), no quarterly purchases list, and section 5 (call-off
// stock). The tables below are what the 2022 writer fills, what the format
// check reads and what the summaries look up.
#include <string>

#include "telematic/layout_2022_facts.h"
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

Fields Prefix(bool frontispiece) {
  return {{1, 5, L, "fixed EUROX", FieldSource::kMark, "EUROX"},
          {6, 11, D, "presenter VAT", FieldSource::kPresenterVat},
          {17, 6, D, "list reference number", FieldSource::kSubmission},
          {23, 1, L, "record type", FieldSource::kType, "0|1|2|3|4|5"},
          frontispiece ? FieldSpec{24, 5, L, "line number", FieldSource::kLineNumber, "00000"}
                       : FieldSpec{24, 5, D, "line number", FieldSource::kLineNumber}};
}

RecordSpec Record(char type, char list, char periodicity, std::string_view name, size_t length, const Fields& rest) {
  return {type, list, periodicity, name, length, Join(Prefix(type == '0'), rest)};
}

void SetLiteral(RecordSpec& record, FieldSource fill, std::string_view literal) {
  for (FieldSpec& field : record.fields) {
    if (field.fill == fill) field.literal = literal;
  }
}

LayoutSpec Build() {
  LayoutSpec layout;
  layout.name = "2022";

  const Fields declaration{{29, 1, L, "list", FieldSource::kList, "C|A"},
                           {30, 2, D, "year", FieldSource::kYear},
                           {32, 1, L, "periodicity", FieldSource::kPeriodicity, "M|T"},
                           {33, 2, D, "period", FieldSource::kPeriod},
                           {35, 11, D, "declarant VAT", FieldSource::kDeclarantVat},
                           {46, 1, L, "change of periodicity", FieldSource::kChangeOfPeriodicity, "0|8|9"},
                           {47, 1, D, "special cases", FieldSource::kSpecialCases},
                           {48, 11, D, "delegate VAT", FieldSource::kDelegateVat},
                           {59, 5, D, "goods lines", FieldSource::kCount1},
                           {64, 13, D, "goods total", FieldSource::kTotal1},
                           {77, 5, D, "goods correction lines", FieldSource::kCount2},
                           {82, 13, Z, "goods corrections total", FieldSource::kTotal2},
                           {95, 5, D, "service lines", FieldSource::kCount3},
                           {100, 13, D, "services total", FieldSource::kTotal3},
                           {113, 5, D, "service correction lines", FieldSource::kCount4},
                           {118, 13, D, "service corrections total", FieldSource::kTotal4}};
  RecordSpec sales = Record('0', 'C', 0, "0 frontispiece", 135,
                            Join(declaration, {{131, 5, D, "call-off stock lines", FieldSource::kCount5}}));
  RecordSpec purchases = Record('0', 'A', 0, "0 frontispiece", 130, declaration);
  SetLiteral(sales, FieldSource::kList, "C");
  SetLiteral(purchases, FieldSource::kList, "A");
  SetLiteral(purchases, FieldSource::kPeriodicity, "M");  // purchases are filed monthly only
  layout.frontispieces = {sales, purchases};

  // Record 1, goods.
  const Fields party{{29, 2, X, "member state", FieldSource::kPartnerState},
                     {31, 12, X, "party VAT", FieldSource::kPartnerVat},
                     {43, 13, D, "amount", FieldSource::kAmount}};
  const Fields currency{{56, 13, D, "currency amount", FieldSource::kCurrencyAmount}};
  const Fields goods{{56, 1, X, "nature of transaction", FieldSource::kNatureA},
                     {57, 8, D, "nomenclature", FieldSource::kGoodsCode}};
  const Fields sales_statistics{{65, 10, D, "net mass kg", FieldSource::kNetMass},
                                {75, 10, D, "supplementary units", FieldSource::kSupplementaryUnits},
                                {85, 13, D, "statistical value", FieldSource::kStatisticalValue},
                                {98, 1, X, "delivery terms", FieldSource::kDeliveryTerms},
                                {99, 1, D, "transport mode", FieldSource::kTransportMode},
                                {100, 2, X, "country of destination", FieldSource::kDestinationCountry},
                                {102, 2, X, "province of origin", FieldSource::kOriginProvince},
                                {104, 1, X, "nature of transaction B", FieldSource::kNatureB},
                                {105, 2, X, "country of origin", FieldSource::kOriginCountry}};
  const Fields purchase_statistics{{78, 10, D, "net mass kg", FieldSource::kNetMass},
                                   {88, 10, D, "supplementary units", FieldSource::kSupplementaryUnits},
                                   {98, 13, D, "statistical value", FieldSource::kStatisticalValue},
                                   {111, 1, X, "delivery terms", FieldSource::kDeliveryTerms},
                                   {112, 1, D, "transport mode", FieldSource::kTransportMode},
                                   {113, 2, X, "country of consignment", FieldSource::kConsignmentCountry},
                                   {115, 2, X, "country of origin", FieldSource::kOriginCountry},
                                   {117, 2, X, "province of destination", FieldSource::kDestinationProvince},
                                   {119, 1, X, "nature of transaction B", FieldSource::kNatureB}};
  const Fields sales_goods = Join(party, goods);
  const Fields purchase_goods = Join(Join(party, currency), Shifted(goods, 13));
  layout.details.push_back(Record('1', 'C', 'T', "1 goods", 64, sales_goods));
  layout.details.push_back(Record('1', 'C', 'M', "1 goods", 106, Join(sales_goods, sales_statistics)));
  layout.details.push_back(Record('1', 'A', 'M', "1 goods", 119, Join(purchase_goods, purchase_statistics)));

  // Record 2, corrections of goods: the period corrected, party, sign, amount.
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
      Record('2', 'C', 'T', "2 goods correction", 70, Join(quarterly_period, sales_correction)));
  layout.details.push_back(Record(
      '2', 'C', 'M', "2 goods correction", 83,
      Join(Join(monthly_period, sales_correction), {{71, 13, D, "statistical value", FieldSource::kStatisticalValue}})));
  layout.details.push_back(Record(
      '2', 'A', 'M', "2 goods correction", 96,
      Join(Join(monthly_period, purchase_correction), {{84, 13, D, "statistical value", FieldSource::kStatisticalValue}})));

  // Record 3, services; record 4, corrections of services.
  const Fields invoice{{56, 15, X, "invoice number", FieldSource::kInvoiceNumber},
                       {71, 6, T, "invoice date", FieldSource::kInvoiceDate},
                       {77, 6, D, "service code", FieldSource::kServiceCode},
                       {83, 1, X, "supply mode", FieldSource::kSupplyMode},
                       {84, 1, X, "payment mode", FieldSource::kPaymentMode},
                       {85, 2, X, "payment country", FieldSource::kPaymentCountry}};
  layout.details.push_back(Record('3', 'C', 0, "3 services", 86, Join(party, invoice)));
  layout.details.push_back(
      Record('3', 'A', 0, "3 services", 99, Join(Join(party, currency), Shifted(invoice, 13))));
  FieldSpec section3Line{43, 5, D, "line to correct", FieldSource::kSection3Line};
  if (kSection3LineAboveZero) {
    section3Line.low = 1;
    section3Line.high = 99999;
  }
  const Fields corrected{{29, 6, D, "customs section of the corrected declaration", FieldSource::kCustomsSection},
                         {35, 2, D, "year of the corrected declaration", FieldSource::kCorrectedYear},
                         {37, 6, D, "protocol of the corrected declaration", FieldSource::kProtocol},
                         section3Line,
                         {48, 2, X, "member state", FieldSource::kPartnerState},
                         {50, 12, X, "party VAT", FieldSource::kPartnerVat},
                         {62, 13, D, "amount", FieldSource::kCorrectionAmount}};
  layout.details.push_back(
      Record('4', 'C', 0, "4 service correction", 105, Join(corrected, Shifted(invoice, 19))));
  layout.details.push_back(
      Record('4', 'A', 0, "4 service correction", 118,
             Join(Join(corrected, {{75, 13, D, "currency amount", FieldSource::kCurrencyAmount}}), Shifted(invoice, 32))));

  // Record 5, call-off stock (sales only).
  layout.details.push_back(Record('5', 'C', 0, "5 call-off stock", kCallOffRecordLength, CallOffStockFields()));
  return layout;
}

SubmissionFormat BuildFormat() {
  // The header is that of the 2010 layout.
  SubmissionFormat f = Format2010();
  DeriveDeclarationFormat(Layout2022(), f);
  return f;
}

}  // namespace

const LayoutSpec& Layout2022() {
  static const LayoutSpec layout = Build();
  return layout;
}

const SubmissionFormat& Format2022() {
  static const SubmissionFormat format = BuildFormat();
  return format;
}

}  // namespace zelmora::telematic
