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
      DeclarationFigures& figures = context.figures;
      for (SectionFigures* section :
           {&figures.goods, &figures.goodsCorrections, &figures.services, &figures.servicesCorrections}) {
        section->lines.Reset();
        section->total.Reset();
      }
      sink.Reserve(256 + rows.size() * 128);  // the longest records and their line ends
      const SectionTally sections = builder.Tally(rows);
      figures.goodsCorrectionsSigned = sections.total[2];
      figures.servicesCorrectionsSigned = sections.total[4];
      services = sections.count[3] + sections.count[4] > 0;
      return sections;
    };
    // The counts and totals written are kept as their digits in the
    // section figures; those of services only when there is a service line.
    auto keep = [&](FieldSource fill, std::string_view text) {
      DeclarationFigures& figures = context.figures;
      SectionFigure* figure = nullptr;
      switch (fill) {
        case FieldSource::kCount1: figure = &figures.goods.lines; break;
        case FieldSource::kTotal1: figure = &figures.goods.total; break;
        case FieldSource::kCount2: figure = &figures.goodsCorrections.lines; break;
        case FieldSource::kTotal2: figure = &figures.goodsCorrections.total; break;
        case FieldSource::kCount3: figure = services ? &figures.services.lines : nullptr; break;
        case FieldSource::kTotal3: figure = services ? &figures.services.total : nullptr; break;
        case FieldSource::kCount4: figure = services ? &figures.servicesCorrections.lines : nullptr; break;
        case FieldSource::kTotal4: figure = services ? &figures.servicesCorrections.total : nullptr; break;
        default: break;
      }
      if (figure) figure->SetWritten(std::string(text));
    };
    builder.WriteDeclaration(rs, rows, builder.Frontispiece(tally, keep), sink, conta);
  });
}

}  // namespace zelmora::telematic
