// The one independent check of SQL Server syntax available here: the T-SQL
// grammar of sqlfluff ("sqlfluff parse --dialect tsql"). It takes seconds
// per text, so tests check a few representative texts.
#pragma once

#include <string>
#include <string_view>

namespace zelmora::testing {

struct TsqlGrammarCheck {
  bool ran = false;        // sqlfluff was found and ran
  std::string violations;  // its report of unparsable sections; empty when the text parses
  std::string output;      // everything it printed, for a failure message
};

TsqlGrammarCheck CheckTsqlGrammar(std::string_view sql);

// In a test: the text is not empty and parses, or the test is skipped when
// sqlfluff is not there.
void ExpectTsqlParses(const std::string& sql);

}  // namespace zelmora::testing
