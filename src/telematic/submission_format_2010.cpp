// The 2010 layout of the telematic submission file as tables for the format
// check: the header, the frontispiece and the detail records of each list
// (C sales, A purchases) and periodicity (M monthly, T quarterly).
#include "telematic/submission_check.h"

namespace zelmora::telematic {

namespace {

using namespace field_kinds;

std::vector<FieldRule> Prefix(bool frontispiece) {
  std::vector<FieldRule> fields{{1, 5, L, "fixed EUROX", "EUROX"},
                                {6, 11, D, "presenter VAT"},
                                {17, 6, D, "list reference number"},
                                {23, 1, L, "record type", "0|1|2|3|4"}};
  if (frontispiece) {
    fields.push_back({24, 5, L, "line number", "00000"});
  } else {
    fields.push_back({24, 5, D, "line number"});
  }
  return fields;
}

RecordLayout Record(std::string_view type, size_t length, std::vector<FieldRule> rest) {
  std::vector<FieldRule> fields = Prefix(false);
  fields.insert(fields.end(), rest.begin(), rest.end());
  return {type, length, std::move(fields)};
}

// Fields from `start` on shared by sales and purchases once the purchases'
// currency amount has shifted them.
std::vector<FieldRule> Shifted(std::vector<FieldRule> fields, size_t by) {
  for (FieldRule& field : fields) field.start += by;
  return fields;
}

std::vector<FieldRule> Join(std::vector<FieldRule> a, const std::vector<FieldRule>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

SubmissionFormat Build() {
  SubmissionFormat f;
  f.header = {"header",
              75,
              {{1, 4, X, "user code"},
               {5, 12, L, "reserved", "            "},
               {17, 12, X, "file name"},
               {29, 12, L, "reserved", "            "},
               {41, 6, D, "customs section"},
               {47, 4, L, "reserved", "    "},
               {51, 16, X, "applicant VAT / tax code"},
               {67, 3, D, "user site progressive"},
               {70, 1, L, "reserved", " "},
               {71, 5, D, "number of records"}}};
  f.header_count_start = 71;
  f.header_count_length = 5;
  f.prefix = {"declaration", 28, Prefix(false)};
  f.type_position = 23;
  f.line_start = 24;
  f.line_length = 5;
  f.shared_start = 6;  // presenter VAT and list reference number
  f.shared_length = 17;
  f.frontispiece_type = '0';
  std::vector<FieldRule> front = Prefix(true);
  std::vector<FieldRule> rest{{29, 1, L, "list", "C|A"},
                              {30, 2, D, "year"},
                              {32, 1, L, "periodicity", "M|T"},
                              {33, 2, D, "period"},
                              {35, 11, D, "declarant VAT"},
                              {46, 1, L, "change of periodicity", "0|8|9"},
                              {47, 1, D, "special cases"},
                              {48, 11, D, "delegate VAT"},
                              {59, 5, D, "goods lines"},
                              {64, 13, D, "goods total"},
                              {77, 5, D, "goods correction lines"},
                              {82, 13, Z, "goods corrections total"},
                              {95, 5, D, "service lines"},
                              {100, 13, D, "services total"},
                              {113, 5, D, "service correction lines"},
                              {118, 13, D, "service corrections total"}};
  front.insert(front.end(), rest.begin(), rest.end());
  f.frontispiece = {"0 frontispiece", 130, std::move(front)};
  f.list_position = 29;
  f.periodicity_position = 32;
  f.period_start = 33;
  f.period_length = 2;
  f.sections = {{'1', "goods", 59, 5, 64, 13, false},
                {'2', "goods corrections", 77, 5, 82, 13, true},
                {'3', "services", 95, 5, 100, 13, false},
                {'4', "service corrections", 113, 5, 118, 13, false}};

  // Record 1: party and amount; purchases add the amount in currency.
  const std::vector<FieldRule> party{{29, 2, X, "member state"}, {31, 12, X, "party VAT"}, {43, 13, D, "amount"}};
  const std::vector<FieldRule> currency{{56, 13, D, "currency amount"}};
  const std::vector<FieldRule> goods{{56, 1, X, "nature of transaction"}, {57, 8, D, "nomenclature"}};
  const std::vector<FieldRule> sales_statistics{{65, 10, D, "net mass kg"},
                                                {75, 10, D, "supplementary units"},
                                                {85, 13, D, "statistical value"},
                                                {98, 1, X, "delivery terms"},
                                                {99, 1, D, "transport mode"},
                                                {100, 2, X, "country of destination"},
                                                {102, 2, X, "province of origin"}};
  const std::vector<FieldRule> purchase_statistics{{78, 10, D, "net mass kg"},
                                                   {88, 10, D, "supplementary units"},
                                                   {98, 13, D, "statistical value"},
                                                   {111, 1, X, "delivery terms"},
                                                   {112, 1, D, "transport mode"},
                                                   {113, 2, X, "country of consignment"},
                                                   {115, 2, X, "country of origin"},
                                                   {117, 2, X, "province of destination"}};
  const std::vector<FieldRule> sales_goods = Join(party, goods);
  const std::vector<FieldRule> purchase_goods = Join(Join(party, currency), Shifted(goods, 13));
  f.details.push_back({'1', 'C', 'T', Record("1 goods", 64, sales_goods), 43, 13, 0});
  f.details.push_back({'1', 'A', 'T', Record("1 goods", 77, purchase_goods), 43, 13, 0});
  f.details.push_back({'1', 'C', 'M', Record("1 goods", 103, Join(sales_goods, sales_statistics)), 43, 13, 0});
  f.details.push_back({'1', 'A', 'M', Record("1 goods", 118, Join(purchase_goods, purchase_statistics)), 43, 13, 0});

  // Record 2: the corrected period, party, sign and amount.
  const std::vector<FieldRule> quarterly_period{
      {29, 2, L, "reference month", "00"}, {31, 1, L, "reference quarter", "1|2|3|4"}, {32, 2, D, "reference year"}};
  const std::vector<FieldRule> monthly_period{
      {29, 2, D, "reference month", "", 1, 12}, {31, 1, L, "reference quarter", "0"}, {32, 2, D, "reference year"}};
  const std::vector<FieldRule> correction{{34, 2, X, "member state"},
                                          {36, 12, X, "party VAT"},
                                          {48, 1, L, "sign", "+|-"},
                                          {49, 13, D, "amount"}};
  const std::vector<FieldRule> correction_goods{{62, 1, X, "nature of transaction"}, {63, 8, D, "nomenclature"}};
  const std::vector<FieldRule> sales_correction = Join(correction, correction_goods);
  const std::vector<FieldRule> purchase_correction =
      Join(Join(correction, {{62, 13, D, "currency amount"}}), Shifted(correction_goods, 13));
  f.details.push_back({'2', 'C', 'T', Record("2 goods correction", 70, Join(quarterly_period, sales_correction)),
                       49, 13, 48});
  f.details.push_back({'2', 'A', 'T', Record("2 goods correction", 83, Join(quarterly_period, purchase_correction)),
                       49, 13, 48});
  f.details.push_back({'2', 'C', 'M',
                       Record("2 goods correction", 83,
                              Join(Join(monthly_period, sales_correction), {{71, 13, D, "statistical value"}})),
                       49, 13, 48});
  f.details.push_back({'2', 'A', 'M',
                       Record("2 goods correction", 96,
                              Join(Join(monthly_period, purchase_correction), {{84, 13, D, "statistical value"}})),
                       49, 13, 48});

  // Record 3: services; record 4: corrections of services.
  const std::vector<FieldRule> invoice{{56, 15, X, "invoice number"},
                                       {71, 6, T, "invoice date"},
                                       {77, 6, D, "service code"},
                                       {83, 1, X, "supply mode"},
                                       {84, 1, X, "payment mode"},
                                       {85, 2, X, "payment country"}};
  f.details.push_back({'3', 'C', 0, Record("3 services", 86, Join(party, invoice)), 43, 13, 0});
  f.details.push_back(
      {'3', 'A', 0, Record("3 services", 99, Join(Join(party, currency), Shifted(invoice, 13))), 43, 13, 0});
  const std::vector<FieldRule> corrected{{29, 6, D, "customs section of the corrected declaration"},
                                         {35, 2, D, "year of the corrected declaration"},
                                         {37, 6, D, "protocol of the corrected declaration"},
                                         {43, 5, D, "line to correct"},
                                         {48, 2, X, "member state"},
                                         {50, 12, X, "party VAT"},
                                         {62, 13, D, "amount"}};
  f.details.push_back({'4', 'C', 0, Record("4 service correction", 105, Join(corrected, Shifted(invoice, 19))),
                       62, 13, 0});
  f.details.push_back({'4', 'A', 0,
                       Record("4 service correction", 118,
                              Join(Join(corrected, {{75, 13, D, "currency amount"}}), Shifted(invoice, 32))),
                       62, 13, 0});
  return f;
}

}  // namespace

const SubmissionFormat& Format2010() {
  static const SubmissionFormat format = Build();
  return format;
}

}  // namespace zelmora::telematic
