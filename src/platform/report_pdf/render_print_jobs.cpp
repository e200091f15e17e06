#include <cstdio>
#include <string>

#include "platform/error.h"
#include "platform/report_pdf/report_templates.h"
#include "platform/text_util.h"

namespace zelmora::pdf {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// The laser templates: CRIN_INTRA<list>[_<SECTION>]_LAS[_2010].rpt.
bool DrawLaser(PdfCanvas& canvas, const ReportView& view) {
  std::string name = view.TemplateFile();
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  int list = 0;
  if (StartsWith(name, "CRIN_INTRA1_")) {
    list = 0;
  } else if (StartsWith(name, "CRIN_INTRA2_")) {
    list = 1;
  } else {
    return false;
  }
  std::string rest = name.substr(12);
  bool from2010 = false;
  if (rest.size() > 9 && rest.compare(rest.size() - 9, 9, "_2010.RPT") == 0) {
    from2010 = true;
    rest = rest.substr(0, rest.size() - 9);
  } else if (rest.size() > 4 && rest.compare(rest.size() - 4, 4, ".RPT") == 0) {
    rest = rest.substr(0, rest.size() - 4);
  } else {
    return false;
  }
  static const std::pair<const char*, int> kSections[] = {
      {"LAS", 1}, {"BIS_LAS", 2}, {"TER_LAS", 3}, {"QUATER_LAS", 4}, {"QUINQUIES_LAS", 5}};
  for (const auto& [suffix, section] : kSections) {
    if (rest != suffix) continue;
    if (section == 1) {
      DrawLaserFirstPage(canvas, view, from2010, list);
    } else if (from2010 || section <= 3) {
      DrawLaserSection(canvas, view, list, section);
    } else {
      return false;
    }
    return true;
  }
  return false;
}

}  // namespace

int RenderPrintJobs(const std::vector<std::shared_ptr<PrintJob>>& jobs, const SqlRunner& runSql,
                    const PdfCanvas::Writer& write) {
  PdfCanvas canvas(write);
  for (const std::shared_ptr<PrintJob>& job : jobs) {
    if (!job || !job->printed) continue;
    const ReportView view(*job);
    if (EqualsIgnoreCase(view.TemplateFile(), "CRIN_INTRA.rpt")) {
      RecordsetPtr rows = runSql(job->sql);
      if (!rows) throw Error(5, "the journal's rows could not be read");
      DrawJournal(canvas, view, *rows);
    } else if (!DrawLaser(canvas, view)) {
      throw Error(5, "no template of ours is named '" + view.TemplateFile() + "'");
    }
  }
  if (canvas.pages() == 0) throw Error(5, "nothing was printed");
  canvas.Finish();
  return canvas.pages();
}

}  // namespace zelmora::pdf
