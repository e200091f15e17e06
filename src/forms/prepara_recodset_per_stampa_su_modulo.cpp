#include <algorithm>
#include <string>

#include "component/trap.h"
#include "component/value_helpers.h"
#include "forms/form_procedures.h"
#include "platform/connection.h"

namespace zelmora::forms {

namespace {

constexpr int kGoodsBlock = 10;       // goods lines per block, two blocks a page
constexpr int kGoodsPerPage = 20;
constexpr int kCorrectionsPerPage = 7;

int32_t PagesFor(int32_t lines, int32_t perPage) { return lines == 0 ? 0 : (lines + perPage - 1) / perPage; }

// A line with nothing but its kind: it fills an empty slot of a page.
void AddFiller(Recordset& lines, const Variant& kind) {
  lines.AddNew();
  lines.SetValue("INDTIPODOC", kind);
}

// The page row of `page`, searched from the first; nullptr when none.
Recordset* FindPage(Recordset& pages, int32_t page) {
  pages.MoveFirst();
  pages.Find("RIGA = " + std::to_string(page));
  return pages.EOF() ? nullptr : &pages;
}

bool IsFiller(const Recordset& lines) {
  return SeNullo(lines.Value("PROGRESSIVO"), Variant::String("")).ToString().empty();
}

void LayOutGoods(IntraContext& context, Recordset& lines, Recordset& pages) {
  const Variant zero = Variant::Integer(0);
  lines.SetFilter("INDTIPODOC = " + context.TipoDocAcqCess.ToString());
  for (int32_t n = lines.RecordCount(); n < context.NumPagineModulo * kGoodsPerPage; ++n) {
    AddFiller(lines, context.TipoDocAcqCess);
  }
  lines.SetFilter("INDTIPODOC = " + context.TipoDocAcqCess.ToString());  // shows the filler lines too
  if (lines.RecordCount() == 0) return;
  int32_t page = 1, block = 0;
  Variant carried = zero, blockSum = zero;
  bool fillerSeen = false;
  lines.MoveFirst();
  for (int32_t k = 1; !lines.EOF(); ++k, lines.MoveNext()) {
    lines.SetValue("RIGA", Variant::Long(page));
    lines.SetValue("FOGLIO", Variant::Long(block));
    blockSum = Add(blockSum, SeNullo(lines.Value("IMPORTO"), zero));
    if (IsFiller(lines)) fillerSeen = true;
    if (k % kGoodsBlock != 0) continue;
    const bool firstBlock = k % kGoodsPerPage != 0;
    block = firstBlock ? 1 : 0;
    if (Recordset* row = FindPage(pages, page)) {
      row->SetValue(firstBlock ? "TOTPRECAC" : "TOTPRECAC2", carried);
      row->SetValue(firstBlock ? "TOTALEAC" : "TOTALEAC2", Add(carried, blockSum));
    }
    carried = Add(carried, blockSum);
    blockSum = zero;
    // The carried totals stop at the first block that is not full.
    if (fillerSeen) break;
    if (!firstBlock) ++page;
  }
}

void LayOutCorrections(IntraContext& context, Recordset& lines, Recordset& pages) {
  const Variant zero = Variant::Integer(0);
  lines.SetFilter("");
  lines.SetFilter("INDTIPODOC = " + context.TipoDocRett.ToString());
  for (int32_t n = lines.RecordCount(); n < context.NumPagineModulo * kCorrectionsPerPage; ++n) {
    AddFiller(lines, context.TipoDocRett);
  }
  lines.SetFilter("INDTIPODOC = " + context.TipoDocRett.ToString());
  if (lines.RecordCount() == 0) return;
  int32_t page = 1;
  Variant carried = zero, pageSum = zero;
  bool fillerSeen = false;
  lines.MoveFirst();
  for (int32_t k = 1; !lines.EOF(); ++k, lines.MoveNext()) {
    lines.SetValue("RIGA", Variant::Long(page));
    pageSum = Add(pageSum, SeNullo(lines.Value("IMPORTO"), zero));
    if (IsFiller(lines)) fillerSeen = true;
    if (k % kCorrectionsPerPage != 0) continue;
    Recordset* row = FindPage(pages, page);
    if (row) {
      row->SetValue("TOTRETTPREC", carried);
      row->SetValue("TOTRETT", Add(carried, pageSum));
    }
    if (fillerSeen) {
      // A last page without corrections of its own shows no totals.
      if (row && pageSum.ToDouble() == 0) {
        row->SetValue("TOTRETTPREC", zero);
        row->SetValue("TOTRETT", zero);
      }
      break;
    }
    carried = Add(carried, pageSum);
    pageSum = zero;
    ++page;
  }
}

}  // namespace

void PreparaRecodsetPerStampaSuModulo(IntraContext& context) noexcept {
  Trap(context, HandlerKind::StatusAndText, "PreparaRecodsetPerStampaSuModulo", [&] {
    SectionFigure& goodsCount = context.figures.goods.lines;
    SectionFigure& correctionCount = context.figures.goodsCorrections.lines;
    goodsCount.Reset();
    correctionCount.Reset();
    CLSIN_OUPUTINTRA& output = context.out();
    const CLSIN_INPUTINTRA& input = context.in();
    const std::string sql = output.StringaSQLperStampaIntra.IsEmptyOrNull()
                                ? std::string()
                                : output.StringaSQLperStampaIntra.ToString();
    if (sql.empty()) return;

    context.RstSorgenteModulo.reset();
    context.RstSorgenteModulo = context.connection().Execute(sql, kCmdText);
    Recordset& source = *context.RstSorgenteModulo;
    // A monthly declaration also lists lines that carry only a statistical value.
    const bool monthly = !input.TipoIntra.IsEmptyOrNull() && input.TipoIntra.ToDouble() == 1;
    source.SetFilter(monthly ? "IMPORTO <> 0 OR IMPORTOVAL <> 0 OR VALSTAT <> 0 OR RETTIFICA <> 0 OR RETTIFICAVAL <> 0"
                             : "IMPORTO <> 0 OR IMPORTOVAL <> 0 OR RETTIFICA <> 0 OR RETTIFICAVAL <> 0");
    if (source.RecordCount() == 0) return;

    context.RstRigheModulo = NewFormLines(false);
    context.RstPagineModulo = NewFormPages(false);
    Recordset& lines = *context.RstRigheModulo;
    Recordset& pages = *context.RstPagineModulo;
    const bool sales = !input.TipoStampa.IsEmptyOrNull() && input.TipoStampa.ToDouble() == 0;
    context.TipoDocAcqCess = Variant::Integer(sales ? 1 : 3);
    context.TipoDocRett = Variant::Integer(sales ? 2 : 4);

    int32_t goods = 0, corrections = 0;
    bool correctionSeen = false;
    for (source.MoveFirst(); !source.EOF(); source.MoveNext()) {
      const Variant kind = source.Value("IN01_INDTIPODOC");
      const bool goodsLine = !kind.IsEmptyOrNull() && (kind.ToDouble() == 1 || kind.ToDouble() == 3);
      if (goodsLine) {
        lines.AddNew();
        goodsCount.SetCount(++goods);
        lines.SetValue("PROGRESSIVO", Variant::Long(goods));
      } else {
        // Goods fill whole blocks: the corrections start after the last one.
        if (!correctionSeen && goods % kGoodsBlock != 0) {
          for (int32_t i = goods % kGoodsBlock; i < kGoodsBlock; ++i) AddFiller(lines, context.TipoDocAcqCess);
        }
        correctionSeen = true;
        lines.AddNew();
        correctionCount.SetCount(++corrections);
        lines.SetValue("PROGRESSIVO", Variant::Long(corrections));
      }
      MemorizzaRecordModIntra(context);
    }

    context.NumPagineModulo = std::max(PagesFor(goodsCount.Lines(), kGoodsPerPage),
                                       PagesFor(correctionCount.Lines(), kCorrectionsPerPage));
    const Variant zero = Variant::Integer(0);
    for (int32_t page = 1; page <= context.NumPagineModulo; ++page) {
      pages.AddNew();
      pages.SetValue("RIGA", Variant::Long(page));
      pages.SetValue("TOTALEAC", zero);
      pages.SetValue("TOTALEAC2", zero);
      pages.SetValue("TOTRETT", zero);
    }
    // Published before the totals are written: they appear in it as laid out.
    output.RecordsetIntraModMain = context.RstPagineModulo;

    LayOutGoods(context, lines, pages);
    LayOutCorrections(context, lines, pages);

    lines.SetFilter("");
    RecordsetPtr goodsLines = lines.Clone();
    goodsLines->SetFilter("INDTIPODOC = " + context.TipoDocAcqCess.ToString());
    output.RecordsetIntraAcqCess = goodsLines;
    RecordsetPtr correctionLines = lines.Clone();
    correctionLines->SetFilter("INDTIPODOC = " + context.TipoDocRett.ToString());
    output.RecordsetIntraRettifiche = correctionLines;
  });
  context.RstRigheModulo.reset();
  context.RstPagineModulo.reset();
  context.RstSorgenteModulo.reset();
}

void StampaIntraSuModulo(IntraContext&) noexcept {
  // The host prints the pre-printed form itself from the recordsets above.
}

}  // namespace zelmora::forms
