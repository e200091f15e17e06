// The records of the 2010 layout and of the layout before it, filled field
// by field from the tables of record_layout.h (Layout2010(), LayoutLegacy()):
// the settings read once per declaration, the classification of a
// declaration line (goods or services, first or second kind of document),
// the frontispiece and records 1 to 4. These writers keep to what the host
// always wrote, even where the format check flags it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "component/intra_context.h"
#include "platform/recordset.h"
#include "telematic/record_fields.h"
#include "telematic/record_layout.h"

namespace zelmora::telematic {

// Slots of the declaration-line columns the records read.
enum LineColumn : size_t {
  kIndOper,
  kIndTipoDoc,
  kIndTipoDati,
  kCodIsoCf,
  kPartIva,
  kImporto,
  kImportoVal,
  kRettifica,
  kRettificaVal,
  kValStat,
  kImpMassa,
  kImpUnSuppl,
  kIndNatura,
  kNomenclatura,
  kIndCons,
  kIndTrasp,
  kCodIsoDes,
  kCodIsoPro,
  kCodIsoOri,
  kProvOrig,
  kProvDest,
  kMeseRif,
  kAnnoRif,
  kSezDog,
  kProtDich,
  kProgrSez3,
  kNumDocOrig,
  kDataDocOrig,
  kSezOrig,
  kCodiceIn03,
  kCodiceIn04,
  kCodIsoPag,
};

LineColumns DeclarationLineColumns(const Recordset& rs);

// The two layouts: the 2010 one (records 1 to 4) and the one before it
// (goods records 1 and 2 only).
enum class Layout { k2010, kLegacy };

// The four kinds of detail record, by their type character.
enum class RecordKind { kGoods = 1, kGoodsCorrection = 2, kServices = 3, kServicesCorrection = 4 };

// A code of the line compared with the values 1 to `highest`: the first
// equal one, or `none`.
int CodeOf(const Variant& value, int lowest, int highest, int none);
// SeNullo(IN02_INDOPER, 0) is 0.
bool IsGoodsLine(const Variant& indOper);
// Document type 1 or 3 (a sale or a purchase, not a correction).
bool IsFirstKindDocument(const Variant& indTipoDoc);

// The counts and totals of a declaration's sections, by record kind.
struct SectionTally {
  int64_t count[5] = {};
  Decimal total[5];
};

class DetailBuilder {
 public:
  DetailBuilder(IntraContext& context, const Recordset& rs, Layout layout);

  // The kind of record a line gets in this layout.
  RecordKind KindOf(const Row& row) const;
  // Every line of `rows` counted in its kind, and its amount added to the
  // kind's total: goods and their corrections leave out the lines of
  // statistical data only, service corrections add their corrected value.
  SectionTally Tally(const std::vector<const Row*>& rows) const;
  // The frontispiece, cased as written. `tally` gives the counts and
  // totals when the first of them is filled (so the declaration's own
  // fields fail before any line is read); `written`, when given, hears
  // each field filled with the text written there.
  std::string Frontispiece(const std::function<SectionTally()>& tally,
                           const std::function<void(FieldSource, std::string_view)>& written = nullptr);
  // Builds the record of `row` into `out` (cleared first), not yet
  // upper-cased; `number` is its place among the records of its kind.
  void Build(const Row& row, RecordKind kind, int64_t number, std::string& out);
  // Builds, upper-cases and writes the record of every row, in order,
  // numbering each within its kind and counting it in `conta`.
  void WriteAll(const std::vector<const Row*>& rows, RecordSink& sink, int32_t& conta);
  // The whole declaration: its frontispiece (already cased), the records of
  // `rows` (the visible rows of `rs`), then the sink closed.
  void WriteDeclaration(Recordset& rs, const std::vector<const Row*>& rows, std::string_view frontispiece,
                        RecordSink& sink, int32_t& conta);

  const LineColumns& columns() const { return columns_; }

 private:
  // The record of each kind and list (0 sales, 1 purchases) and, for
  // record 4, the field of its corrected value, which decides whether the
  // record is cancelled.
  struct Spec {
    const RecordSpec* record = nullptr;
    const FieldSpec* correction = nullptr;
    // The leading fields every record of the declaration has alike (the
    // layout's mark, the presenter, the submission), filled once.
    std::string head;
    size_t rest = 0;  // the index of the first field after them
  };
  // The fields every record starts with; false for any other field.
  bool PutPrefix(const FieldSpec& f, char type, int64_t number, std::string& out);
  void PutFront(const FieldSpec& f, const SectionTally& tally, std::string& out);
  void Put(const FieldSpec& f, const Row& row, char type, int64_t number, std::string& out);
  void AppendAmount(std::string& out, const Variant& amount, size_t width);
  void AppendStatistical(std::string& out, const Row& row, LineColumn column, size_t width);
  void AppendPlace(std::string& out, const Row& row, LineColumn column, size_t width);
  void AppendInvoiceNumber(std::string& out, const Row& row, size_t width);

  // The codes of the line being built, read once.
  void ReadLine(const Row& row);
  std::string_view Text(const Row& row, LineColumn column);
  std::string_view Trimmed(const Row& row, LineColumn column);

  IntraContext& context_;
  const CLSIN_INPUTINTRA& input_;
  LineColumns columns_;
  Layout layout_;
  const LayoutSpec& tables_;
  Spec specs_[5][2];
  int documentType_ = 0;   // IN01_INDTIPODOC, 0 when not 1 to 4
  int dataKind_ = -1;      // IN02_INDTIPODATI, -1 when not 0 to 2
  bool cancelled_ = false; // record 4 whose corrected value is zero
  std::string correction_; // record 4's corrected value as written
  std::string scratch_;
  std::string presenter_, submission_;
  bool monthly_ = false;
  bool quarterly_ = false;
  bool annual_ = false;
};

// Presenter VAT number of the records: the delegate's when given, else the
// declarant's (both trimmed).
std::string PresenterVat(const CLSIN_INPUTINTRA& input);

// Z(width) of the total, its last digit replaced by the negative-digit
// letter when the total is negative (Z(width) of the magnitude then).
void AppendSignedTotal(IntraContext& context, std::string& out, const Decimal& total, size_t width);

}  // namespace zelmora::telematic
