// The host harness: plays the host on one business object from a JSON
// script and reports everything a host could read afterwards as one JSON
// document. Tests, other programs and other languages drive the component
// through it, so its format is a contract:
//
//   script keys (all optional), applied in this order:
//     "CInput"          input properties by name (a new input object is
//                       created and assigned when the key is present)
//     "object"          Stato, Errore, NumRecStpModIntra, NumFileFloppy,
//                       PathFileIntraWeb, FolderFileIntraWeb (a folder path)
//     "COutput"         presets of the output's non-recordset properties
//     "ActiveInterface" a JSON object tree, read late-bound
//     "calls"           operation names, or {"call": name, "args": [values]}
//   output keys: "steps" (per call: call, Stato, Errore, result), "CInput",
//     "COutput", "object", "print_jobs".
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/host_services.h"

namespace zelmora::cli {

struct HarnessResult {
  // 0 when the script ran (whatever Stato says); 2 when it is not valid.
  int exitCode = 0;
  std::string output;  // the JSON document (empty when not valid)
  std::string error;   // one line saying why the script is not valid
};

// `services` nullptr gives the in-process host services.
HarnessResult RunHostScript(std::string_view script, std::shared_ptr<HostServices> services = nullptr);

// Reads and checks a script and applies its properties to a new business
// object without making any call: exit code 0 (and no output) when the
// script would run, 2 and the reason when it is not valid.
HarnessResult ValidateHostScript(std::string_view script);

}  // namespace zelmora::cli
