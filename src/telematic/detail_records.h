// The detail records shared by the 2010 layout and the layout before 2010:
// the settings read once per declaration, the classification of a
// declaration line (goods or services, first or second kind of document)
// and the builders of records 1 to 4 over the columns of the line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "component/intra_context.h"
#include "platform/recordset.h"
#include "telematic/record_fields.h"

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

class DetailBuilder {
 public:
  DetailBuilder(IntraContext& context, const Recordset& rs, Layout layout);

  // The kind of record a line gets in this layout.
  RecordKind KindOf(const Row& row) const;
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

  // The first 22 characters of every record: layout mark, presenter VAT
  // number and submission number.
  const std::string& Head() const { return head_; }
  const LineColumns& columns() const { return columns_; }

 private:
  // The values prepared for every line.
  void AppendCountry(std::string& out, const Row& row);
  void AppendVat(std::string& out, const Row& row);
  void AppendAmount(std::string& out, const Variant& amount);
  void AppendInvoiceNumber(std::string& out, const Row& row, bool withSection);
  void AppendServiceFields(std::string& out, const Row& row);
  void AppendRounded(std::string& out, const Variant& amount, size_t width);
  void Record1(std::string& out, const Row& row);
  void Record2(std::string& out, const Row& row);
  void Record3(std::string& out, const Row& row);
  void Record4(std::string& out, const Row& row);

  // The codes of the line being built, read once.
  void ReadLine(const Row& row);
  std::string_view Text(const Row& row, LineColumn column);
  std::string_view Trimmed(const Row& row, LineColumn column);

  IntraContext& context_;
  LineColumns columns_;
  int documentType_ = 0;   // IN01_INDTIPODOC, 0 when not 1 to 4
  int dataKind_ = -1;      // IN02_INDTIPODATI, -1 when not 0 to 2
  std::string scratch_;
  Layout layout_;
  std::string head_;
  Variant tipoIntra_;
  bool monthly_ = false;
  bool quarterly_ = false;
  bool annual_ = false;
  bool statisticalBlock_ = false;
};

// Presenter VAT number of the records: the delegate's when given, else the
// declarant's (both trimmed).
std::string PresenterVat(const CLSIN_INPUTINTRA& input);

// The amount with its last digit replaced by the negative-digit letter when
// the total is negative (Z(13) of the magnitude then).
void AppendSignedTotal(IntraContext& context, std::string& out, const Decimal& total);

}  // namespace zelmora::telematic
