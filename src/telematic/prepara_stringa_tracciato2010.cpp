#include <string>
#include <vector>

#include "component/trap.h"
#include "platform/text_util.h"
#include "telematic/detail_records.h"
#include "telematic/record_fields.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

namespace {

// Counts and totals of the four sections, from one pass over the lines.
struct SectionTotals {
  int64_t goods = 0, goodsCorrections = 0, services = 0, serviceCorrections = 0;
  Decimal goodsTotal, goodsCorrectionsTotal, servicesTotal, serviceCorrectionsTotal;
};

// Positions 29 to 58 of the frontispiece: list, year, periodicity, period,
// declarant, the two special-case boxes and the delegate.
void AppendDeclarationFields(std::string& out, const CLSIN_INPUTINTRA& input) {
  out += IsNumber(input.TipoStampa, 1) ? 'A' : 'C';
  out += Utf8Right(TextOf(input.Anno), 2);
  const bool monthly = IsNumber(input.TipoIntra, 1);
  const bool quarterly = IsNumber(input.TipoIntra, 2);
  const Variant& month = input.PeriodoStampa;
  std::string period;
  if (input.CambioPeriodicita) {
    out += 'T';
    // The quarter of the month.
    const Decimal quarter = ((month.ToDecimal() - Decimal::FromInt(1)) / Decimal::FromInt(3)).Floor();
    period = (quarter + Decimal::FromInt(1)).ToString();
  } else if (monthly) {
    out += 'M';
    period = TrimmedText(month);
  } else if (quarterly) {
    out += 'T';
    period = TrimmedText(Divide(month, Variant::Integer(3)));
  } else {
    // Other periodicities have no code in this layout.
    out += ' ';
    period = "00";
  }
  AppendZ(out, std::string(TrimBlanks(period)), 2);
  AppendZ(out, TrimmedText(input.PartitaIva), 11);
  if (input.CambioPeriodicita) {
    bool firstOfQuarter = false;
    for (int m : {1, 4, 7, 10}) firstOfQuarter = firstOfQuarter || IsNumber(month, m);
    out += firstOfQuarter ? '8' : '9';
  } else {
    out += '0';
  }
  const std::string cases = TrimmedText(input.CasiParticolari);
  out += cases.empty() ? std::string("0") : Utf8Right("0" + cases, 1);
  AppendZ(out, TrimmedText(input.PartitaIvaDeleg), 11);
}

}  // namespace

void PreparaStringaTracciato2010(IntraContext& context, Recordset& rs, int32_t& conta, const Variant* destinazione) {
  Trap(context, HandlerKind::StatusAndText, "PreparaStringaTracciato2010", [&] {
    RecordSink sink(context, destinazione != nullptr);
    const CLSIN_INPUTINTRA& input = context.in();
    DetailBuilder builder(context, rs, Layout::k2010);
    const LineColumns& columns = builder.columns();

    std::string record = builder.Head();
    record += "000000";
    AppendDeclarationFields(record, input);

    context.NumRigheAcqCess = context.NumRigheRett = Variant::Integer(0);
    context.NumRigheServizi = context.NumRigheRettServizi = Variant::Integer(0);
    context.TotImportoAcqCess = context.TotImportoRett = Variant::Integer(0);
    context.TotImportoServizi = context.TotImportoRettServizi = Variant::Integer(0);

    const std::vector<const Row*> rows = rs.VisibleRows();
    sink.Reserve(256 + rows.size() * 128);  // the longest records and their line ends
    SectionTotals totals;
    for (size_t i = 0; i < rows.size(); ++i) {
      columns.PrefetchAhead(rows, i);
      const Row* row = rows[i];
      const bool first = IsFirstKindDocument(columns.Get(*row, kIndTipoDoc));
      if (IsGoodsLine(columns.Get(*row, kIndOper))) {
        (first ? totals.goods : totals.goodsCorrections) += 1;
        if (!IsNumber(columns.Get(*row, kIndTipoDati), 2)) {
          (first ? totals.goodsTotal : totals.goodsCorrectionsTotal) += RoundedOrZero(columns.Get(*row, kImporto));
        }
      } else if (first) {
        totals.services += 1;
        totals.servicesTotal += RoundedOrZero(columns.Get(*row, kImporto));
      } else {
        totals.serviceCorrections += 1;
        totals.serviceCorrectionsTotal += RoundedOrZero(columns.Get(*row, kRettifica));
      }
    }

    // Each count and total field; the members keep the text written.
    auto field = [&](Variant& member, const std::string& text) {
      record += text;
      member = Variant::String(text);
    };
    auto zeros = [](const std::string& digits, size_t width) {
      std::string out;
      AppendZ(out, digits, width);
      return out;
    };
    context.TotImportoRettConSegno = Variant::Dec(totals.goodsCorrectionsTotal);
    context.TotImportoRettServiziConSegno = Variant::Dec(totals.serviceCorrectionsTotal);
    field(context.NumRigheAcqCess, zeros(std::to_string(totals.goods), 5));
    field(context.TotImportoAcqCess, zeros(totals.goodsTotal.ToString(), 13));
    field(context.NumRigheRett, zeros(std::to_string(totals.goodsCorrections), 5));
    std::string signedTotal;
    AppendSignedTotal(context, signedTotal, totals.goodsCorrectionsTotal);
    field(context.TotImportoRett, signedTotal);
    if (totals.services + totals.serviceCorrections > 0) {
      field(context.NumRigheServizi, zeros(std::to_string(totals.services), 5));
      field(context.TotImportoServizi, zeros(totals.servicesTotal.ToString(), 13));
      field(context.NumRigheRettServizi, zeros(std::to_string(totals.serviceCorrections), 5));
      field(context.TotImportoRettServizi, zeros(totals.serviceCorrectionsTotal.Abs().ToString(), 13));
    } else {
      // No service line: both service sections are empty.
      record += "00000" "0000000000000" "00000" "0000000000000";
    }

    // Upper case up to position 93: the negative-digit letter at 94 stays.
    std::string frontispiece = Upper(Utf8Left(record, 93));
    frontispiece += Utf8Mid(record, 94);
    builder.WriteDeclaration(rs, rows, frontispiece, sink, conta);
  });
}

}  // namespace zelmora::telematic
