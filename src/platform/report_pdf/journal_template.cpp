// CRIN_INTRA.rpt: the movements journal, a landscape table of the
// movement lines with totals per page and for the whole report.
#include <optional>
#include <string>
#include <vector>

#include "platform/decimal.h"
#include "platform/report_pdf/report_templates.h"

namespace zelmora::pdf {

namespace {

struct Column {
  const char* heading;
  const char* field;
  double width;
  Align align;
};

const Column kColumns[] = {
    {"Reg.", "IN01_NUMREG_CG41", 38, Align::Right},
    {"Data reg.", "CG41_DATAREG", 50, Align::Left},
    {"Documento", "CG41_NUMDOCORIG", 56, Align::Left},
    {"Data doc.", "CG41_DATADOC", 50, Align::Left},
    {"Tipo", "IN01_INDTIPODOC", 22, Align::Center},
    {"Oper.", "IN02_INDOPER", 34, Align::Left},
    {"Controparte", "CG16_RAGSOANAG", 136, Align::Left},
    {"Rif.", "IN02_MESERIF", 40, Align::Left},
    {"Nomencl.", "IN02_NOMENCLATURA", 52, Align::Left},
    {"Nat.", "IN02_INDNATURA", 22, Align::Center},
    {"Segno", "IN02_FLGSEGNO", 28, Align::Center},
    {"Importo", "IN02_IMPORTO", 62, Align::Right},
    {"Imp. valuta", "IN02_IMPORTOVAL", 62, Align::Right},
    {"Massa", "IN02_MASSA", 46, Align::Right},
    {"Un. suppl.", "IN02_UNSUPPL", 40, Align::Right},
    {"Val. statistico", "IN02_VALSTAT", 62, Align::Right},
};
constexpr size_t kTotalled[] = {11, 12, 15};  // amount, currency amount, statistical value

constexpr double kMargin = 28;
constexpr double kRowHeight = 11;
constexpr double kTableTop = 82;
constexpr int kRowsPerPage = 38;
const Font kCell{6.5, false};
const Font kBold{6.5, true};

struct Totals {
  Decimal sums[3];
  void Add(const Totals& other) {
    for (int i = 0; i < 3; ++i) sums[i] += other.sums[i];
  }
};

class Journal {
 public:
  Journal(PdfCanvas& canvas, const ReportView& view, const Recordset& rows) : canvas_(canvas), view_(view), rows_(rows) {
    for (const Column& column : kColumns) index_.push_back(rows.FieldIndex(column.field));
    sign_ = rows.FieldIndex("IN02_FLGSEGNO");
    year_ = rows.FieldIndex("IN02_ANNORIF");
  }

  void Draw() {
    const std::vector<const Row*> rows = rows_.VisibleRows();
    const size_t pages = rows.empty() ? 1 : (rows.size() + kRowsPerPage - 1) / kRowsPerPage;
    Totals report;
    for (size_t page = 0; page < pages; ++page) {
      Heading(static_cast<int>(page + 1), static_cast<int>(pages));
      Totals pageTotals;
      double y = kTableTop + kRowHeight + 3;
      const size_t first = page * kRowsPerPage;
      for (size_t i = first; i < rows.size() && i < first + kRowsPerPage; ++i) {
        DrawRow(*rows[i], y, pageTotals);
        y += kRowHeight;
      }
      if (rows.empty()) canvas_.Text(kMargin, y, 400, "Nessun movimento Intra per i filtri indicati.", kCell);
      report.Add(pageTotals);
      y = kTableTop + kRowHeight * (kRowsPerPage + 1) + 6;
      canvas_.Line(kMargin, y - 2, canvas_.width() - kMargin, y - 2);
      TotalRow("Totale pagina", pageTotals, y);
      if (page + 1 == pages) TotalRow("Totale generale", report, y + kRowHeight);
    }
  }

 private:
  void Heading(int page, int pages) {
    canvas_.BeginPage(true);
    const double width = canvas_.width() - 2 * kMargin;
    canvas_.Text(kMargin, kMargin, width, view_.Title(), Font{12, true});
    canvas_.Text(kMargin, kMargin, width, "Pagina " + std::to_string(page) + " di " + std::to_string(pages),
                 Font{8, false}, Align::Right);
    canvas_.Text(kMargin, kMargin + 18, width,
                 "Ditta " + view_.Parameter("ditta") + " " + view_.Parameter("ragionesociale"), Font{8, true});
    std::string filters;
    auto add = [&](const char* label, const std::string& from, const std::string& to) {
      if (from.empty() && to.empty()) return;
      filters += std::string(filters.empty() ? "" : "   ") + label + " dal " + (from.empty() ? "..." : from) +
                 " al " + (to.empty() ? "..." : to);
    };
    add("Registrazioni", view_.Parameter("dadatareg"), view_.Parameter("adatareg"));
    add("Documenti", view_.Parameter("dadatadoc"), view_.Parameter("adatadoc"));
    if (!view_.Parameter("tipomov").empty()) filters += "   Tipo movimento " + view_.Parameter("tipomov");
    if (!view_.Parameter("conto").empty()) {
      filters += "   Conto " + view_.Parameter("conto") + " " + view_.Parameter("descconto");
    }
    canvas_.Text(kMargin, kMargin + 31, width, filters.empty() ? "Tutti i movimenti" : filters, Font{7, false});
    canvas_.Text(kMargin, kMargin + 42, width,
                 "Tipo: 1 cessione, 2 rettifica di cessione, 3 acquisto, 4 rettifica di acquisto.  "
                 "Segno \"-\": la riga si sottrae nei totali.",
                 Font{6, false});
    canvas_.Shade(kMargin, kTableTop - 2, width, kRowHeight + 2, 0.88);
    double x = kMargin;
    for (const Column& column : kColumns) {
      canvas_.Text(x + 1, kTableTop, column.width - 2, column.heading, kBold, column.align);
      x += column.width;
    }
  }

  std::string Cell(const Row& row, size_t c) const {
    if (!index_[c]) return "";
    const Variant& value = row[*index_[c]];
    const std::string field = kColumns[c].field;
    if (field == "IN02_INDOPER") {
      if (value.IsEmptyOrNull()) return "";
      return value.ToDouble() == 1 ? "Servizi" : "Beni";
    }
    if (field == "IN02_FLGSEGNO") return !value.IsEmptyOrNull() && value.ToDouble() == 1 ? "-" : "";
    if (field == "IN02_MESERIF") {
      const std::string month = CellText(value);
      const std::string year = year_ ? CellText(row[*year_]) : "";
      return month.empty() && year.empty() ? "" : month + "/" + year;
    }
    return CellText(value);
  }

  void DrawRow(const Row& row, double y, Totals& totals) {
    double x = kMargin;
    for (size_t c = 0; c < std::size(kColumns); ++c) {
      canvas_.Text(x + 1, y, kColumns[c].width - 2, Cell(row, c), kCell, kColumns[c].align);
      x += kColumns[c].width;
    }
    const bool subtracts = sign_ && !row[*sign_].IsEmptyOrNull() && row[*sign_].ToDouble() == 1;
    for (int t = 0; t < 3; ++t) {
      const std::optional<size_t>& at = index_[kTotalled[t]];
      if (!at || row[*at].IsEmptyOrNull()) continue;
      const Decimal amount = row[*at].ToDecimal();
      totals.sums[t] += subtracts ? -amount : amount;
    }
  }

  void TotalRow(const char* label, const Totals& totals, double y) {
    double x = kMargin;
    for (size_t c = 0; c < std::size(kColumns); ++c) {
      if (c == 6) canvas_.Text(x + 1, y, kColumns[c].width, label, kBold);
      for (int t = 0; t < 3; ++t) {
        if (kTotalled[t] == c) {
          canvas_.Text(x + 1, y, kColumns[c].width - 2, totals.sums[t].ToString(), kBold, Align::Right);
        }
      }
      x += kColumns[c].width;
    }
  }

  PdfCanvas& canvas_;
  const ReportView& view_;
  const Recordset& rows_;
  std::vector<std::optional<size_t>> index_;
  std::optional<size_t> sign_, year_;
};

}  // namespace

void DrawJournal(PdfCanvas& canvas, const ReportView& view, const Recordset& rows) {
  Journal(canvas, view, rows).Draw();
}

}  // namespace zelmora::pdf
