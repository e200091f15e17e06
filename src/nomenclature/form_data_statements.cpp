#include "nomenclature/form_data_statements.h"

#include <initializer_list>

#include "platform/text_util.h"

namespace zelmora::nomenclature {

namespace {

constexpr std::string_view kCr = "\r";
constexpr std::string_view kCrLf = "\r\n";

// Pieces each followed by CR.
std::string Lines(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) {
    text += piece;
    text += kCr;
  }
  return text;
}

std::string DropIfExists(std::string_view table) {
  std::string text = "IF OBJECT_ID(N'tempdb..";
  text += table;
  text += "', N'U') IS NOT NULL ";
  text += kCr;
  text += "    DROP TABLE ";
  text += table;
  text += " ";
  text += kCr;
  return text;
}

void IntoTable(std::string& statement, std::string_view table) {
  std::string into = "MAX(RETTIFICAVAL) AS RETTIFICAVAL INTO ";
  into += table;
  ReplaceAll(statement, "MAX(RETTIFICAVAL) AS RETTIFICAVAL", into);
}

}  // namespace

std::string FormTableStatement(std::string published, int maxProgr) {
  published.erase(0, published.size() < 6 ? published.size() : 6);
  std::string head = "SELECT 0 AS ERRORE, " + std::to_string(maxProgr) + " + ROW_NUMBER() OVER (ORDER BY IN02_INDOPER, ";
  for (std::string_view key : {"IN01_INDTIPODOC, ", "CG07_INDTIPOSTATO, ", "CG07_CODISOCF, ", "CG16_PARTIVA, "}) {
    head += kCrLf;
    head += "                                   ";
    head += key;
  }
  head += kCrLf;
  head += "                                   IN02_NOMENCLATURA) as FAKEID, ";
  head += kCrLf;
  published.insert(0, head);
  IntoTable(published, "#DATIMODULOSTAMPE");
  // No space after NOT NULL here, unlike the other batches.
  return "IF OBJECT_ID(N'tempdb..#DATIMODULOSTAMPE', N'U') IS NOT NULL\r   DROP TABLE #DATIMODULOSTAMPE \r" +
         published;
}

std::string NomenclatureYearTableStatement(std::string complete, int maxProgr) {
  std::string head = DropIfExists("#DATIMODULOSTAMPENOMENCLATURAANNO");
  head += Lines({";", "SELECT ", "    0 AS ERRORE "});
  head += "  , " + std::to_string(maxProgr) + " + ROW_NUMBER() OVER (ORDER BY ";
  head += kCr;
  const std::string indent(60, ' ');
  head += Lines({"                                                              IN02_INDOPER "});
  for (std::string_view key :
       {"IN01_INDTIPODOC ", "CG07_INDTIPOSTATO ", "CG07_CODISOCF ", "CG16_PARTIVA  ", "IN02_NOMENCLATURA "}) {
    head += indent;
    head += ", ";
    head += key;
    head += kCr;
  }
  head += Lines({"                                                         ) AS FAKEID ", "  , "});
  if (size_t select = complete.find("SELECT "); select != std::string::npos) complete.replace(select, 7, head);
  IntoTable(complete, "#DATIMODULOSTAMPENOMENCLATURAANNO");
  return complete;
}

std::string FlagErrorsBatch(std::string_view errorCheck) {
  std::string text = DropIfExists("#TEST_STAMPENOMENCLATURAANNO");
  text += Lines({";", "SELECT * ", "INTO #TEST_STAMPENOMENCLATURAANNO ", "FROM ( ", errorCheck, "     ) AS TEST ", ";"});
  text += Lines({"UPDATE STP ", "   SET ERRORE = 1 ", "FROM #DATIMODULOSTAMPENOMENCLATURAANNO AS STP ",
                 "INNER JOIN #TEST_STAMPENOMENCLATURAANNO AS TEST ",
                 "        ON TEST.NOMENCLATURA_ANNORIF = STP.NOMENCLATURA_ANNORIF ",
                 "       AND TEST.IN02_NOMENCLATURA = STP.IN02_NOMENCLATURA ",
                 "       AND TEST.IN02_INDOPER = STP.IN02_INDOPER ", "; "});
  return text;
}

std::string FormResultQuery(std::string_view suffix, bool ordered) {
  const std::string years = "#DATIMODULOSTAMPENOMENCLATURAANNO" + std::string(suffix);
  const std::string form = "#DATIMODULOSTAMPE" + std::string(suffix);
  return Lines({"IF EXISTS(SELECT 1 FROM " + years + " WHERE ERRORE = 1) ",
                "    SELECT * FROM " + years + " WHERE ERRORE = 1 ", "ELSE ",
                "    SELECT * FROM " + form + (ordered ? " ORDER BY FAKEID " : " ")}) +
         "; ";
}

std::string GatherFirstListBatch() {
  return DropIfExists("#DATIMODULOSTAMPE2") +
         Lines({";", "SELECT * INTO #DATIMODULOSTAMPE2 FROM #DATIMODULOSTAMPE ", ";"}) +
         DropIfExists("#DATIMODULOSTAMPENOMENCLATURAANNO2") +
         Lines({";", "SELECT * INTO #DATIMODULOSTAMPENOMENCLATURAANNO2 FROM #DATIMODULOSTAMPENOMENCLATURAANNO ", ";"});
}

std::string LastFormKeyQuery() { return Lines({"SELECT ISNULL(MAX(FAKEID),0) AS MAXPROGR ", "FROM #DATIMODULOSTAMPE "}); }

std::string GatherSecondListBatch() {
  return Lines({"INSERT INTO #DATIMODULOSTAMPE2 ", "    SELECT * FROM #DATIMODULOSTAMPE ", ";",
                "INSERT INTO #DATIMODULOSTAMPENOMENCLATURAANNO2 ",
                "    SELECT * FROM #DATIMODULOSTAMPENOMENCLATURAANNO ", ";"});
}

std::string UnionOfChecks(std::string_view first, std::string_view second) {
  if (first.empty()) return std::string(second);
  std::string text(first);
  text += kCrLf;
  text += " UNION ";
  text += kCrLf;
  text += second;
  return text;
}

}  // namespace zelmora::nomenclature
