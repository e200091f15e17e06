// The one independent check of SQL Server syntax available here: the T-SQL
// grammar of sqlfluff ("sqlfluff parse --dialect tsql"). It takes seconds
// per text, so tests check a few representative texts.
#pragma once

#include <string>
#include <string_view>

namespace zelmora::testing {

struct TsqlGrammarCheck {
  bool ran = false;        // sqlfluff was found and ran
  int exitCode = -1;       // its exit status: 0 when the text parses, 1 when it does not
  std::string violations;  // its report of unparsable sections; empty when the text parses
  std::string output;      // everything it printed, for a failure message
};

TsqlGrammarCheck CheckTsqlGrammar(std::string_view sql);

// In a test: the text is not empty and parses: sqlfluff ran, exited 0 and
// reported nothing unparsable. A missing, crashed or misconfigured sqlfluff
// fails the test (the README's test command installs it).
void ExpectTsqlParses(const std::string& sql);

}  // namespace zelmora::testing
