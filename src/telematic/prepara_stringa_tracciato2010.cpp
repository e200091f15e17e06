#include <string>
#include <vector>

#include "component/trap.h"
#include "telematic/detail_records.h"
#include "telematic/record_fields.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

void PreparaStringaTracciato2010(IntraContext& context, Recordset& rs, int32_t& conta, const Variant* destinazione) {
  Trap(context, HandlerKind::StatusAndText, "PreparaStringaTracciato2010", [&] {
    RecordSink sink(context, destinazione != nullptr);
    DetailBuilder builder(context, rs, Layout::k2010);
    const std::vector<const Row*> rows = rs.VisibleRows();
    bool services = false;
    // The shared counters start from zero, then the lines are counted.
    auto tally = [&] {
      context.NumRigheAcqCess = context.NumRigheRett = Variant::Integer(0);
      context.NumRigheServizi = context.NumRigheRettServizi = Variant::Integer(0);
      context.TotImportoAcqCess = context.TotImportoRett = Variant::Integer(0);
      context.TotImportoServizi = context.TotImportoRettServizi = Variant::Integer(0);
      sink.Reserve(256 + rows.size() * 128);  // the longest records and their line ends
      const SectionTally sections = builder.Tally(rows);
      context.TotImportoRettConSegno = Variant::Dec(sections.total[2]);
      context.TotImportoRettServiziConSegno = Variant::Dec(sections.total[4]);
      services = sections.count[3] + sections.count[4] > 0;
      return sections;
    };
    // The counts and totals written are kept as text in the shared
    // counters; those of services only when there is a service line.
    auto keep = [&](FieldSource fill, std::string_view text) {
      Variant* member = nullptr;
      switch (fill) {
        case FieldSource::kCount1: member = &context.NumRigheAcqCess; break;
        case FieldSource::kTotal1: member = &context.TotImportoAcqCess; break;
        case FieldSource::kCount2: member = &context.NumRigheRett; break;
        case FieldSource::kTotal2: member = &context.TotImportoRett; break;
        case FieldSource::kCount3: member = services ? &context.NumRigheServizi : nullptr; break;
        case FieldSource::kTotal3: member = services ? &context.TotImportoServizi : nullptr; break;
        case FieldSource::kCount4: member = services ? &context.NumRigheRettServizi : nullptr; break;
        case FieldSource::kTotal4: member = services ? &context.TotImportoRettServizi : nullptr; break;
        default: break;
      }
      if (member) *member = Variant::String(std::string(text));
    };
    builder.WriteDeclaration(rs, rows, builder.Frontispiece(tally, keep), sink, conta);
  });
}

}  // namespace zelmora::telematic
