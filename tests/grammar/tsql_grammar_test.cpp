// The T-SQL the program sends, and the hand-written T-SQL of the construct
// tests, checked against sqlfluff's T-SQL grammar ("sqlfluff parse
// --dialect tsql"), the one independent check of SQL Server syntax here.
// It takes seconds per text, so the table holds representative texts: the
// golden statements named in grammar/texts.txt (which the statement tests
// hold the program's texts to), the browsing list and the deletions.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "movements/movement_sql.h"
#include "support/construct_file.h"
#include "support/file_bytes.h"
#include "support/golden.h"
#include "support/sqlfluff.h"

namespace zelmora {
namespace {

struct Text {
  std::string name;
  std::function<std::string()> make;
};
void PrintTo(const Text& text, std::ostream* os) { *os << text.name; }

std::vector<Text> Texts() {
  std::vector<Text> texts = {
      {"BrowsingListWithFilters",
       [] {
         CLSIN_INPUTINTRA in;
         in.Ditta = Variant::Integer(1);
         in.TipoMovimento = Variant::Integer(3);
         in.Conto = Variant::String("1102000077");
         in.TipoCF = Variant::Integer(1);
         in.DataDocumentoIniziale = Variant::String("2024-01-01");
         in.NumeroDocumento = Variant::String("A-8");
         in.CodiceSezionale = Variant::String("A1");
         in.Protocollo = Variant::Integer(6);
         in.OperazioneRif = Variant::Integer(9);
         in.NomenclaturaIniziale = Variant::String("0101");
         in.Pbol_Dettaglio = true;
         return movements::DocumentBrowseSql(in);
       }},
      {"MovementDeletions",
       [] {
         CLSIN_INPUTINTRA in;
         in.Ditta = Variant::Integer(1);
         in.NumeroRegistrazione = Variant::Long(13);
         return movements::DeleteLinesSql(in) + "\r\n" + movements::DeleteHeaderSql(in);
       }},
  };
  std::istringstream lines(testing::TestFile("grammar/texts.txt"));
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    const size_t bar = line.find(" | ");
    if (line.empty() || line[0] == '#' || bar == std::string::npos) continue;
    texts.push_back({"TextsLine" + std::to_string(number), [file = line.substr(0, bar), section = line.substr(bar + 3)] {
                       return testing::GoldenSection(file, section);
                     }});
  }
  // The hand-written texts of the construct tests marked "grammar", once each.
  std::vector<std::string> seen;
  for (const auto& section : testing::ReadConstructFile().sections) {
    for (const auto& block : section.blocks) {
      if (!block.grammar || std::find(seen.begin(), seen.end(), block.sql) != seen.end()) continue;
      seen.push_back(block.sql);
      texts.push_back({"ConstructLine" + std::to_string(block.line), [sql = block.sql] { return sql; }});
    }
  }
  return texts;
}

class TsqlGrammar : public ::testing::TestWithParam<Text> {};

TEST_P(TsqlGrammar, Parses) {
  const std::string text = GetParam().make();
  ASSERT_FALSE(text.empty());
  testing::ExpectTsqlParses(text);
}

INSTANTIATE_TEST_SUITE_P(Texts, TsqlGrammar, ::testing::ValuesIn(Texts()),
                         [](const ::testing::TestParamInfo<Text>& info) { return info.param.name; });

// The check does fail on text that is not T-SQL.
TEST(TsqlGrammarControl, ABrokenTextDoesNotParse) {
  const testing::TsqlGrammarCheck broken = testing::CheckTsqlGrammar("SELECT FROM WHERE ((\n");
  ASSERT_TRUE(broken.ran);
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_EQ("L:   1 | P:   1 |  PRS | Line 1, Position 1: Found unparsable section: 'SELECT FROM WHERE\n"
            "                       | (('",
            broken.violations);
}

}  // namespace
}  // namespace zelmora
