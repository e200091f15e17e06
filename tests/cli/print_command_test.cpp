// zelmora print: the PDF documents of the journal, the laser forms and the
// cover page, read back with poppler (pdftotext for each page's text,
// pdfinfo for the page count) and compared whole with golden texts; and
// the refusals, which leave no file behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "cli/print_command.h"
#include "support/database.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::TempDatabase;
using testing::Movement;

std::string Capture(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
  pclose(pipe);
  return text;
}

int PageCount(const std::string& pdf) {
  const std::string info = Capture("pdfinfo '" + pdf + "'");
  const size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// Each page's text as poppler lays it out, pages parted by a rule line.
std::string PagesText(const std::string& pdf) {
  std::string text;
  const int pages = PageCount(pdf);
  for (int page = 1; page <= pages; ++page) {
    text += "---- page " + std::to_string(page) + "\n";
    text += Capture("pdftotext -layout -nopgbrk -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" +
                    pdf + "' -");
  }
  return text;
}

void ExpectGolden(const std::string& name, const std::string& actual) {
  testing::ExpectGoldenFile("cli/golden/" + name, actual);
}

class PrintCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.Run(
        "INSERT INTO CG18_DITTE VALUES (1, 'Officine Rossi S.p.A.', 1, 2, 0);"
        "INSERT INTO CG07_TABSTATIEST VALUES (1, 'FR', 'Francia', 1), (4, 'DE', 'Germania', 1);"
        "INSERT INTO CG16_ANAGGEN VALUES (100, 'Müller GmbH', 'DE111222333', 4),"
        " (101, 'Dupont SA', 'FR22233344455', 1);"
        "INSERT INTO CG44_CLIFOR VALUES (1, 0, 10, 100), (1, 1, 11, 101);");
    // Sales of May 2024: 12 goods lines (two pages), a correction and a
    // service; purchases of April and June.
    for (int i = 1; i <= 12; ++i) {
      Add(1, 0, std::to_string(84821000 + i), std::to_string(1000 * i) + ".45", "202405" + Day(i));
    }
    Add(2, 0, "84821001", "-250", "20240520");
    Add(1, 1, "620100", "4999.50", "20240521");
    Add(3, 0, "73181500", "1234567.60", "20240410", 1, 11);
    Add(3, 1, "620200", "800", "20240610", 1, 11);
    folder_ = db_.folder().path();
  }

  static std::string Day(int i) { return (i < 10 ? "0" : "") + std::to_string(i); }

  void Add(int kind, int operation, const std::string& code, const std::string& amount, const std::string& day,
           int partnerKind = 0, int partner = 10) {
    db_.Add(testing::DayMovement(++registration_, kind, operation, code, amount, day, partnerKind, partner));
  }

  // Runs zelmora print; the exit status, and what it said on each stream.
  int Print(cli::PrintRequest request) {
    if (request.database.empty()) request.database = db_.path();
    std::ostringstream out, err;
    const int status = cli::RunPrint(request, out, err);
    said_ = out.str();
    complaint_ = err.str();
    return status;
  }

  std::string Pdf(const std::string& name) const { return folder_ + "/" + name; }

  // The files of the folder other than the database, sorted.
  std::string Leftovers() const {
    std::string names;
    for (const std::string& name : db_.folder().Entries()) {
      if (name != "host.db") names += name + " ";
    }
    return names;
  }

  TempDatabase db_;
  std::string folder_, said_, complaint_;
  int registration_ = 0;
};

TEST_F(PrintCommandTest, MonthlySalesFormsJournalAndCoverPageReadAsTheGoldenTexts) {
  const std::string forms = Pdf("sales-forms.pdf");
  ASSERT_EQ(Print({"forms", "", "1", "2024", "5", "sales", false, "01234567890", forms}), 0) << complaint_;
  EXPECT_EQ(said_, forms + ": 5 pages\n");
  EXPECT_EQ(PageCount(forms), 5);  // first page, two of bis, one of ter, one of quater
  ExpectGolden("sales_forms.txt", PagesText(forms));

  const std::string journal = Pdf("sales-journal.pdf");
  ASSERT_EQ(Print({"journal", "", "1", "2024", "5", "sales", false, "", journal}), 0) << complaint_;
  EXPECT_EQ(said_, journal + ": 1 page\n");
  ExpectGolden("sales_journal.txt", PagesText(journal));

  const std::string cover = Pdf("sales-cover.pdf");
  ASSERT_EQ(Print({"cover", "", "1", "2024", "5", "sales", false, "01234567890", cover}), 0) << complaint_;
  EXPECT_EQ(PageCount(cover), 1);
  ExpectGolden("sales_cover.txt", PagesText(cover));
  EXPECT_EQ(Leftovers(), "sales-cover.pdf sales-forms.pdf sales-journal.pdf ");
}

TEST_F(PrintCommandTest, QuarterlyPurchasesFormsAndJournalReadAsTheGoldenTexts) {
  const std::string forms = Pdf("purchases-forms.pdf");
  ASSERT_EQ(Print({"forms", "", "1", "2024", "6", "purchases", true, "", forms}), 0) << complaint_;
  EXPECT_EQ(PageCount(forms), 3);  // first page, bis, quater
  ExpectGolden("purchases_forms.txt", PagesText(forms));
  const std::string journal = Pdf("purchases-journal.pdf");
  ASSERT_EQ(Print({"journal", "", "1", "2024", "6", "purchases", true, "", journal}), 0) << complaint_;
  ExpectGolden("purchases_journal.txt", PagesText(journal));
}

// A journal longer than a page: each page totals its own lines (a line
// marked to subtract counts negative), the last page also the report's.
TEST_F(PrintCommandTest, JournalTotalsEachPageAndTheWholeReport) {
  for (int i = 1; i <= 45; ++i) {
    Add(1, 0, "84821090", std::to_string(i) + ".10", "202407" + Day(1 + i % 28));
  }
  Movement subtracted;
  subtracted.registration = ++registration_;
  subtracted.amount = subtracted.currencyAmount = subtracted.statisticalValue = "1000.01";
  subtracted.negative = 1;
  subtracted.competence = subtracted.registered = "'20240731'";
  db_.Add(subtracted);
  const std::string journal = Pdf("july-journal.pdf");
  ASSERT_EQ(Print({"journal", "", "1", "2024", "7", "sales", false, "", journal}), 0) << complaint_;
  EXPECT_EQ(said_, journal + ": 2 pages\n");
  ExpectGolden("july_journal.txt", PagesText(journal));
}

}  // namespace
}  // namespace zelmora
