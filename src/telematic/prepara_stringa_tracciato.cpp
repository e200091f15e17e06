#include <string>
#include <vector>

#include "component/trap.h"
#include "telematic/detail_records.h"
#include "telematic/record_fields.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

void PreparaStringaTracciato(IntraContext& context, Recordset& rs, int32_t& conta, const Variant*) {
  Trap(context, HandlerKind::StatusAndText, "PreparaStringaTracciato", [&] {
    // Records of this layout always go to the file.
    RecordSink sink(context, true);
    DetailBuilder builder(context, rs, Layout::kLegacy);
    const std::vector<const Row*> rows = rs.VisibleRows();
    auto tally = [&] {
      sink.Reserve(256 + rows.size() * 112);  // the longest records and their line ends
      return builder.Tally(rows);
    };
    builder.WriteDeclaration(rs, rows, builder.Frontispiece(tally), sink, conta);
  });
}

}  // namespace zelmora::telematic
