// Fuzzes the host-harness script reader: the input is a script text, read
// as JSON, checked (keys, properties, operation names, argument counts) and
// applied to a new business object, without making any call, so that
// neither a database nor the file system is touched. A refused script is an
// answer (exit code 2 and a one-line reason); a crash, a sanitizer report,
// an exception escaping or an answer without a reason is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cli/host_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  const zelmora::cli::HarnessResult result = zelmora::cli::ValidateHostScript(script);
  if (result.exitCode != 0 && result.exitCode != 2) std::abort();
  if (result.exitCode == 2 && (result.error.empty() || result.error.find('\n') != std::string::npos)) std::abort();
  if (result.exitCode == 0 && !result.error.empty()) std::abort();
  return 0;
}
