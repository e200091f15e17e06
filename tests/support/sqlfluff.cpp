#include "support/sqlfluff.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>

#include <gtest/gtest.h>

namespace zelmora::testing {

TsqlGrammarCheck CheckTsqlGrammar(std::string_view sql) {
  TsqlGrammarCheck check;
  char folder[] = "/tmp/zelmora-sqlfluff-XXXXXX";
  if (mkdtemp(folder) == nullptr) return check;
  const std::string dir = folder;
  const std::string file = dir + "/check.sql";
  const std::string config = dir + "/sqlfluff.cfg";
  std::ofstream(file, std::ios::binary) << sql;
  // Without the limit sqlfluff skips a file above 20000 bytes and says nothing.
  std::ofstream(config) << "[sqlfluff]\nlarge_file_skip_byte_limit = 0\n";
  const std::string command =
      "sqlfluff parse --dialect tsql --templater raw --config '" + config + "' '" + file + "' 2>&1";
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) check.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    check.ran = WIFEXITED(status) && WEXITSTATUS(status) != 127 && WEXITSTATUS(status) != 126;
    if (WIFEXITED(status)) check.exitCode = WEXITSTATUS(status);
  }
  const std::string marker = "==== parsing violations ====";
  const size_t at = check.output.find(marker);
  if (at != std::string::npos) {
    const size_t end = check.output.find("WARNING:", at);
    check.violations = check.output.substr(at + marker.size(), end == std::string::npos ? std::string::npos
                                                                                            : end - at - marker.size());
    while (!check.violations.empty() && (check.violations.back() == '\n' || check.violations.back() == ' ')) {
      check.violations.pop_back();
    }
    while (!check.violations.empty() && check.violations.front() == '\n') check.violations.erase(0, 1);
  }
  std::remove(file.c_str());
  std::remove(config.c_str());
  rmdir(folder);
  return check;
}

void ExpectTsqlParses(const std::string& sql) {
  ASSERT_FALSE(sql.empty());
  const TsqlGrammarCheck check = CheckTsqlGrammar(sql);
  ASSERT_TRUE(check.ran) << "sqlfluff did not run (scripts/deps.sh installs it): " << check.output;
  EXPECT_EQ(check.violations, "") << check.output;
  EXPECT_EQ(check.exitCode, 0) << check.output;
}

}  // namespace zelmora::testing
