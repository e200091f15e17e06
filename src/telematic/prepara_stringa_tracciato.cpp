#include <string>
#include <vector>

#include "component/trap.h"
#include "component/value_helpers.h"
#include "platform/text_util.h"
#include "telematic/detail_records.h"
#include "telematic/record_fields.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

namespace {

// Positions 29 to 58 of the frontispiece before 2010: list, year,
// periodicity (monthly, quarterly or annual), period, declarant, the two
// boxes of the cover page and the delegate.
void AppendLegacyDeclarationFields(std::string& out, const CLSIN_INPUTINTRA& input) {
  out += IsNumber(input.TipoStampa, 1) ? 'A' : 'C';
  out += Utf8Right(TextOf(input.Anno), 2);
  const Variant& month = input.PeriodoStampa;
  if (IsNumber(input.TipoIntra, 1)) {
    out += 'M';
    AppendZ(out, TrimmedText(month), 2);
  } else if (IsNumber(input.TipoIntra, 2)) {
    out += 'T';
    AppendZ(out, TrimmedText(Divide(month, Variant::Integer(3))), 2);
  } else if (IsNumber(input.TipoIntra, 3)) {
    out += "A00";
  } else {
    out += " 00";  // no periodicity code for other values
  }
  AppendZ(out, TrimmedText(input.PartitaIva), 11);
  for (const Variant* box : {&input.Casella1, &input.Casella2}) {
    out += SeNullo(*box, Variant::String("")).Text().empty() ? '0' : '1';
  }
  AppendZ(out, TrimmedText(input.PartitaIvaDeleg), 11);
}

}  // namespace

void PreparaStringaTracciato(IntraContext& context, Recordset& rs, int32_t& conta, const Variant*) {
  Trap(context, HandlerKind::StatusAndText, "PreparaStringaTracciato", [&] {
    // Records of this layout always go to the file.
    RecordSink sink(context, true);
    const CLSIN_INPUTINTRA& input = context.in();
    DetailBuilder builder(context, rs, Layout::kLegacy);
    const LineColumns& columns = builder.columns();

    std::string record = builder.Head();
    record += "000000";
    AppendLegacyDeclarationFields(record, input);

    const std::vector<const Row*> rows = rs.VisibleRows();
    sink.Reserve(256 + rows.size() * 112);  // the longest records and their line ends
    int64_t count[2] = {0, 0};
    Decimal total[2];
    for (const Row* row : rows) {
      const int section = IsFirstKindDocument(columns.Get(*row, kIndTipoDoc)) ? 0 : 1;
      count[section] += 1;
      if (!IsNumber(columns.Get(*row, kIndTipoDati), 2)) {
        total[section] += RoundedOrZero(columns.Get(*row, kImporto));
      }
    }
    AppendZ(record, std::to_string(count[0]), 5);
    AppendZ(record, total[0].ToString(), 13);
    AppendZ(record, std::to_string(count[1]), 5);
    AppendSignedTotal(context, record, total[1]);

    // Everything but the last total is upper-cased.
    const size_t length = Utf8Length(record);
    std::string frontispiece = Upper(Utf8Left(record, length - 13));
    frontispiece += Utf8Right(record, 13);
    builder.WriteDeclaration(rs, rows, frontispiece, sink, conta);
  });
}

}  // namespace zelmora::telematic
