// Fuzzes the host-harness script reader: the input is a script text, read
// as JSON, checked (keys, properties, operation names, argument counts) and
// applied to a new business object, without making any call, so that
// neither a database nor the file system is touched. A refused script is an
// answer (exit code 2 and a reason that `zelmora host` prints as one line);
// a crash, a sanitizer report, an exception escaping or an answer without a
// reason is a fault. The reason may quote the script (a key holding a line
// break): what must stay one line is what the command prints.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "cli/host_harness.h"
#include "cli/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  const zelmora::cli::HarnessResult result = zelmora::cli::ValidateHostScript(script);
  if (result.exitCode != 0 && result.exitCode != 2) std::abort();
  if (result.exitCode == 2) {
    if (result.error.empty()) std::abort();
    std::ostringstream said;
    zelmora::cli::SayWhy(said, "zelmora host", result.error);
    const std::string line = said.str();
    if (line.find('\n') != line.size() - 1) std::abort();
  }
  if (result.exitCode == 0 && !result.error.empty()) std::abort();
  return 0;
}
