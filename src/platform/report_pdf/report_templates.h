// Our own report templates, named as the component names them, that draw a
// recorded print job into a PDF: the movements journal (CRIN_INTRA.rpt),
// the laser form's first page (CRIN_INTRA1_LAS*.rpt, CRIN_INTRA2_LAS*.rpt,
// also the cover page) and its section pages (..._BIS_, _TER_, _QUATER_,
// _QUINQUIES_LAS*.rpt), after the official INTRA-1 and INTRA-2 models.
// Every value is printed as the print job holds it: amounts with the exact
// digits of their decimal, the handler's parameter texts as they were set.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/recordset.h"
#include "platform/report.h"
#include "platform/report_pdf/pdf_canvas.h"

namespace zelmora::pdf {

// What a template reads of a print job.
class ReportView {
 public:
  explicit ReportView(const PrintJob& job);
  const PrintJob& job() const { return job_; }
  // The template file and title given to prepare ("" when not prepared).
  const std::string& TemplateFile() const { return templateFile_; }
  const std::string& Title() const { return title_; }
  // A parameter field or formula by name, as text ("" when not set).
  std::string Parameter(std::string_view name) const;
  std::string Formula(std::string_view name) const;
  // The recordset bound to a subreport (nullptr when none).
  RecordsetPtr Subreport(std::string_view name) const;

 private:
  const PrintJob& job_;
  std::string templateFile_;
  std::string title_;
};

// The text of a value as a template prints it: numbers with their exact
// digits, dates as DD/MM/YYYY, Null and Empty as nothing.
std::string CellText(const Variant& value);

// The journal over the rows of its SQL text.
void DrawJournal(PdfCanvas& canvas, const ReportView& view, const Recordset& rows);
// The laser form's first page (the cover page too).
void DrawLaserFirstPage(PdfCanvas& canvas, const ReportView& view, bool from2010, int list);
// The pages of one laser section (2 bis, 3 ter, 4 quater, 5 quinquies).
void DrawLaserSection(PdfCanvas& canvas, const ReportView& view, int list, int section);

// Runs a journal's SQL text; the journal's rows come from it.
using SqlRunner = std::function<RecordsetPtr(const std::string& sql)>;

// Draws every printed job with a template of ours, in order, into one PDF
// whose bytes go to `write`, and returns its page count. A job with a
// template we do not have, or no page at all, is an Error; so is a failure
// of `write`.
int RenderPrintJobs(const std::vector<std::shared_ptr<PrintJob>>& jobs, const SqlRunner& runSql,
                    const PdfCanvas::Writer& write);

}  // namespace zelmora::pdf
