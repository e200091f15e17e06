// The section pages of the laser forms, after the official models:
// CRIN_INTRA1_BIS_LAS_2010.rpt (goods sold), ..._TER_ (their corrections),
// ..._QUATER_ (services supplied), ..._QUINQUIES_ (their corrections), and
// the same for INTRA-2 (purchases), with the older forms' bis and ter.
// One page per row of the page recordset: its numbered lines, the total
// carried in from the page before and the total at the end of the page.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/report_pdf/report_templates.h"

namespace zelmora::pdf {

namespace {

struct Column {
  const char* heading;
  const char* field;
  double width;
  bool number;  // right-aligned
};

struct SectionLayout {
  const char* title;
  const char* subreport;
  const char* endTotal;
  const char* carriedTotal;
  std::vector<Column> columns;
};

const Column kProgressive{"Progressivo", "PROGRESSIVO", 44, true};
const Column kState{"Stato membro", "CODISOCF", 40, false};
const Column kVat{"Codice IVA", "PARTIVA", 84, false};
const Column kAmount{"Ammontare delle operazioni in euro", "IMPORTO", 78, true};
const Column kCurrency{"Ammontare delle operazioni in valuta", "IMPORTOVAL", 78, true};
const Column kNature{"Natura della transazione", "INDNATURA", 44, false};
const Column kCode{"Nomenclatura combinata", "NOMENCLATURA", 62, false};
const Column kMass{"Massa netta (kg)", "MASSA", 56, true};
const Column kUnits{"Unità supplementare", "UNSUPPL", 56, true};
const Column kStatistical{"Valore statistico in euro", "VALSTAT", 70, true};
const Column kTerms{"Condizioni di consegna", "INDCONS", 44, false};
const Column kTransport{"Modo di trasporto", "INDTRASP", 40, false};
const Column kMonth{"Periodo (mese o trimestre)", "MESERIF", 52, false};
const Column kYear{"Anno", "ANNORIF", 38, false};
const Column kInvoice{"Numero fattura", "IN02_NUMDOCORIG", 70, false};
const Column kInvoiceDate{"Data fattura", "IN02_DATADOCORIG", 56, false};
const Column kService{"Codice servizio", "NOMENCLATURA", 50, false};
const Column kSupply{"Modalità di erogazione", "IN02_CODICE_IN03", 48, false};
const Column kCollection{"Modalità di incasso", "IN02_CODICE_IN04", 48, false};
const Column kPayment{"Paese di pagamento", "CODISOPAG", 44, false};
const Column kCustoms{"Sezione doganale", "IN02_SEZDOG", 48, true};
const Column kProtocol{"Protocollo della dichiarazione", "IN02_PROTDICH", 62, true};
const Column kLine{"Progressivo da rettificare", "IN02_PROGRSEZ3", 56, true};

SectionLayout LayoutOf(int list, int section) {
  const bool sales = list == 0;
  switch (section) {
    case 2:
      if (sales) {
        return {"CESSIONI DI BENI REGISTRATE NEL PERIODO", "CRIN_INTRAMODSUB.rpt", "TOTALEAC", "TOTPRECAC",
                {kProgressive, {"Stato membro acquirente", "CODISOCF", 44, false},
                 {"Codice IVA acquirente", "PARTIVA", 84, false}, kAmount, kNature, kCode, kMass, kUnits,
                 kStatistical, kTerms, kTransport, {"Paese di destinazione", "CODISODES", 50, false},
                 {"Provincia di origine", "PROVORIG", 50, false}}};
      }
      return {"ACQUISTI DI BENI REGISTRATI NEL PERIODO", "CRIN_INTRAMODSUB.rpt", "TOTALEAC", "TOTPRECAC",
              {kProgressive, {"Stato membro fornitore", "CODISOCF", 44, false},
               {"Codice IVA fornitore", "PARTIVA", 84, false}, kAmount, kCurrency, kNature, kCode, kMass, kUnits,
               kStatistical, kTerms, kTransport, {"Paese di provenienza", "CODISOPRO", 44, false},
               {"Paese di origine", "CODISOORI", 40, false}, {"Provincia di destinazione", "PROVDEST", 50, false}}};
    case 3:
      if (sales) {
        return {"RETTIFICHE ALLE CESSIONI DI BENI RELATIVE A PERIODI PRECEDENTI", "CRIN_RETT", "TOTRETT",
                "TOTRETTPREC",
                {kProgressive, kMonth, kYear, kState, kVat, kAmount, kNature, kCode, kStatistical}};
      }
      return {"RETTIFICHE AGLI ACQUISTI DI BENI RELATIVI A PERIODI PRECEDENTI", "CRIN_RETT", "TOTRETT",
              "TOTRETTPREC",
              {kProgressive, kMonth, kYear, kState, kVat, kAmount, kCurrency, kNature, kCode, kStatistical}};
    case 4:
      if (sales) {
        return {"SERVIZI RESI REGISTRATI NEL PERIODO", "CRIN_INTRAMODSUB.rpt", "TOTALEAC_SER", "TOTPRECAC_SER",
                {kProgressive, kState, kVat, kAmount, kInvoice, kInvoiceDate, kService, kSupply, kCollection,
                 kPayment}};
      }
      return {"SERVIZI RICEVUTI REGISTRATI NEL PERIODO", "CRIN_INTRAMODSUB.rpt", "TOTALEAC_SER", "TOTPRECAC_SER",
              {kProgressive, kState, kVat, kAmount, kCurrency, kInvoice, kInvoiceDate, kService, kSupply,
               kCollection, kPayment}};
    default:
      if (sales) {
        return {"RETTIFICHE AI SERVIZI RESI INDICATI IN PERIODI PRECEDENTI", "CRIN_RETT", "TOTRETT_SER",
                "TOTRETTPREC_SER",
                {kProgressive, kCustoms, kProtocol, kLine, kState, kVat, kAmount, kInvoice, kInvoiceDate, kService,
                 kSupply, kCollection, kPayment}};
      }
      return {"RETTIFICHE AI SERVIZI RICEVUTI INDICATI IN PERIODI PRECEDENTI", "CRIN_RETT", "TOTRETT_SER",
              "TOTRETTPREC_SER",
              {kProgressive, kCustoms, kProtocol, kLine, kState, kVat, kAmount, kCurrency, kInvoice, kInvoiceDate,
               kService, kSupply, kCollection, kPayment}};
  }
}

constexpr double kMargin = 30;
constexpr double kHeadingHeight = 34;
constexpr double kRowHeight = 26;

std::string Value(const Recordset& rs, const Row& row, const char* field) {
  const std::optional<size_t> at = rs.FieldIndex(field);
  return at ? CellText(row[*at]) : "";
}

}  // namespace

void DrawLaserSection(PdfCanvas& canvas, const ReportView& view, int list, int section) {
  SectionLayout layout = LayoutOf(list, section);
  // The widest sections are narrowed to the page.
  double natural = 0;
  for (const Column& column : layout.columns) natural += column.width;
  const double room = PdfCanvas::kA4Long - 2 * kMargin;
  if (natural > room) {
    for (Column& column : layout.columns) column.width *= room / natural;
  }
  const RecordsetPtr pages = view.job().recordset;
  const RecordsetPtr lines = view.Subreport(layout.subreport);
  // Each line sits on the page its RIGA names, in the order of the lines.
  std::map<std::string, std::vector<const Row*>> byPage;
  if (lines) {
    const std::optional<size_t> page = lines->FieldIndex("RIGA");
    for (const Row* row : lines->VisibleRows()) {
      if (page) byPage[CellText((*row)[*page])].push_back(row);
    }
  }
  const std::vector<const Row*> pageRows = pages ? pages->VisibleRows() : std::vector<const Row*>{};
  const std::string formName = view.Formula("TIPO");
  const std::string period = !view.Formula("RIFMESE").empty() ? "Mese " + view.Formula("RIFMESE")
                             : !view.Formula("RIFTRIMES").empty()
                                 ? "Trimestre " + view.Parameter("mese")
                                 : "";
  double tableWidth = 0;
  for (const Column& column : layout.columns) tableWidth += column.width;

  for (size_t p = 0; p < pageRows.size(); ++p) {
    canvas.BeginPage(true);
    const double width = canvas.width() - 2 * kMargin;
    const double left = kMargin + (width - tableWidth) / 2;
    const Row& pageRow = *pageRows[p];
    const std::string pageNumber = Value(*pages, pageRow, "RIGA");
    double y = kMargin;
    canvas.Text(kMargin, y, 260, "MODELLO " + formName, Font{14, true});
    canvas.Text(kMargin + 200, y + 3, width - 200,
                "Pagina " + pageNumber + " di " + std::to_string(pageRows.size()), Font{9, false}, Align::Right);
    y += 20;
    canvas.Text(kMargin, y, width, layout.title, Font{9, true});
    y += 14;
    canvas.Text(kMargin, y, width,
                "Partita IVA " + view.Parameter("PartitaIva") + "   " + view.Formula("SOGGOBBL") + "   Anno " +
                    view.Formula("ANNOFISC") + (period.empty() ? "" : "   " + period),
                Font{8, false});
    y += 18;

    // Column headings: the number of each column, then its name.
    double x = left;
    canvas.Shade(left, y, tableWidth, kHeadingHeight, 0.88);
    for (size_t c = 0; c < layout.columns.size(); ++c) {
      const Column& column = layout.columns[c];
      canvas.Box(x, y, column.width, kHeadingHeight);
      canvas.Text(x, y + 2, column.width, std::to_string(c + 1), Font{6.5, true}, Align::Center);
      canvas.Paragraph(x + 2, y + 10, column.width - 4, column.heading, Font{5.5, false});
      x += column.width;
    }
    y += kHeadingHeight;

    for (const Row* line : byPage[pageNumber]) {
      x = left;
      for (const Column& column : layout.columns) {
        canvas.Box(x, y, column.width, kRowHeight);
        canvas.Text(x + 3, y + 9, column.width - 6, Value(*lines, *line, column.field), Font{8, false},
                    column.number ? Align::Right : Align::Left);
        x += column.width;
      }
      y += kRowHeight;
    }

    y += 8;
    const double labelWidth = 200, amountWidth = 100;
    const double amountLeft = left + tableWidth - amountWidth;
    canvas.Text(amountLeft - labelWidth - 6, y, labelWidth, "Riporto dalla pagina precedente", Font{8, false},
                Align::Right);
    canvas.Box(amountLeft, y - 3, amountWidth, 14);
    canvas.Text(amountLeft + 3, y, amountWidth - 6, Value(*pages, pageRow, layout.carriedTotal), Font{8, false},
                Align::Right);
    y += 18;
    canvas.Text(amountLeft - labelWidth - 6, y, labelWidth,
                p + 1 == pageRows.size() ? "Totale della sezione" : "Totale da riportare", Font{8, true},
                Align::Right);
    canvas.Box(amountLeft, y - 3, amountWidth, 14);
    canvas.Text(amountLeft + 3, y, amountWidth - 6, Value(*pages, pageRow, layout.endTotal), Font{8, true},
                Align::Right);
    canvas.Text(kMargin, canvas.height() - kMargin, width, view.Title() + " (" + view.TemplateFile() + ")",
                Font{6, false});
  }
}

}  // namespace zelmora::pdf
