// The records of a submission layout as tables: each field with its start,
// length, kind and how the writer fills it. One table per record drives the
// writer (which fills the fields in order), the format check (the kinds, via
// FormatOf) and the command summaries (the frontispiece's count and total
// fields, found by how they are filled).
#pragma once

#include <string_view>
#include <vector>

#include "telematic/submission_check.h"

namespace zelmora::telematic {

// What a field holds, which is also how the writer fills it.
enum class FieldSource {
  // The header record of the file.
  kUserCode,      // the sender's user code
  kFileName,
  kHeaderSection, // the customs section of the header
  kApplicant,     // the delegate's VAT number as given, else the declarant's
  kUserSite,      // the progressive of the sender's site
  kRecordCount,   // the records of the file, the header included
  // The prefix of every declaration record.
  kMark,          // the field's literal, whatever the line
  kPresenterVat,  // the delegate's VAT number, else the declarant's
  kSubmission,    // the submission number (NumFloppy)
  kType,          // the record type character
  kLineNumber,    // the record's place in its section (00000 in record 0)
  // The frontispiece.
  kList,                // C sales, A purchases
  kYear,                // two digits
  kPeriodicity,         // M or T
  kPeriod,              // month or quarter
  kDeclarantVat,
  kChangeOfPeriodicity,  // 0, or 8/9 with a change of periodicity
  kSpecialCases,
  kBox1, kBox2,          // before 2010: the two boxes of the cover page, 0 or 1
  kDelegateVat,
  kCount1, kTotal1, kCount2, kTotal2, kCount3, kTotal3, kCount4, kTotal4, kCount5,
  // The detail records of a declaration line.
  kPartnerState,        // member state of the party, in the law's table
  kPartnerVat,          // without its country prefix
  kAmount,              // the euro amount as written (whole, unsigned)
  kCurrencyAmount,
  kSign,                // + or -, of a goods correction
  kNatureA,             // the nature's first character (a letter for triangular operations)
  kNatureB,             // its second digit, or blank
  kGoodsCode,           // eight digits
  kNetMass,
  kSupplementaryUnits,
  kStatisticalValue,
  kDeliveryTerms,
  kTransportMode,
  kDestinationCountry,   // member state
  kConsignmentCountry,   // member state
  kOriginCountry,        // ISO code of the goods' origin
  kOriginProvince,
  kDestinationProvince,
  kReferenceMonth,       // of the period corrected
  kReferenceQuarter,
  kReferenceYear,
  kCustomsSection,       // of the declaration corrected
  kCorrectedYear,
  kProtocol,
  kSection3Line,
  kCorrectionAmount,     // the corrected value of a services line
  kInvoiceNumber,
  kInvoiceDate,
  kServiceCode,          // six digits
  kSupplyMode,
  kPaymentMode,
  kPaymentCountry,
  // Section 5, call-off stock.
  kConsigneeState,
  kConsigneeVat,
  kCallOffOperation,
  kNewConsigneeState,
  kNewConsigneeVat,
};

struct FieldSpec {
  size_t start;  // 1-based, in characters
  size_t length;
  FieldKind kind;
  std::string_view name;
  FieldSource fill;
  std::string_view literal = "";  // kLiteral: the values allowed, '|' apart
  int low = 0;                    // kDigits with high > 0: the value's range
  int high = 0;
};

struct RecordSpec {
  char type;         // record type character
  char list;         // C sales, A purchases, or 0 (a frontispiece) for either
  char periodicity;  // M, T, or 0 for either
  std::string_view name;
  size_t length;
  std::vector<FieldSpec> fields;
};

struct LayoutSpec {
  std::string_view name;               // "2022"
  std::vector<RecordSpec> frontispieces;  // one per list, or one for either
  std::vector<RecordSpec> details;
};

const LayoutSpec& Layout2022();
const SubmissionFormat& Format2022();
// The 2010 layout (its format check is Format2010()) and the one before it.
const LayoutSpec& Layout2010();
const LayoutSpec& LayoutLegacy();
// The header record that heads the telematic file from 2010 on; its
// reserved fields are literals of blanks.
const RecordSpec& HeaderRecord();

// Sets what `format` says of the declaration records (frontispieces,
// details, where the type, list, period and section counts sit) from the
// tables of `layout`; the header is left as it is.
void DeriveDeclarationFormat(const LayoutSpec& layout, SubmissionFormat& format);
// The format check's table of a record.
RecordLayout LayoutOf(const RecordSpec& record);

// The record of `type`, list and periodicity; nullptr when the layout has
// none (a purchases list filed quarterly from 2022, for one).
const RecordSpec* FindRecord(const LayoutSpec& layout, char type, char list, char periodicity);
// The field of `record` filled by `fill`; nullptr when it has none.
const FieldSpec* FindField(const RecordSpec& record, FieldSource fill);

// The sections of a declaration as a frontispiece tells them, for a summary:
// the record type, the section's name, its count and (when it has one) its
// total as written.
struct SectionSummary {
  char type;
  std::string_view name;
  std::string_view count;
  std::string_view total;  // empty: the section has no total
  bool letter_coded;
};
// The sections of `frontispiece` (one record, its characters ASCII) read
// through `format`; empty when its length matches no frontispiece of it.
std::vector<SectionSummary> Sections(const SubmissionFormat& format, std::string_view frontispiece);

}  // namespace zelmora::telematic
