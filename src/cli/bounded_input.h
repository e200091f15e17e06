// The whole of an input a command reads into memory (a host script, a CSV
// list), taken only from a regular file or from standard input, and only
// up to a size stated here: a device, a named pipe or a folder given as
// the file, or an input longer than the limit, is refused with one line
// (a Refusal, exit 2) before it can fill the memory.
#pragma once

#include <cstddef>
#include <string>

namespace zelmora::cli {

// A host script: its values and trees take some ten times its size in
// memory once read.
inline constexpr size_t kMaxScriptBytes = size_t{16} << 20;  // 16 MiB
// A code list: the official lists are a few megabytes; each code read is
// held with its description until the list is loaded.
inline constexpr size_t kMaxCsvBytes = size_t{16} << 20;  // 16 MiB
// A submission file: a month of a million movements writes some 1.3 MB.
inline constexpr size_t kMaxSubmissionBytes = size_t{64} << 20;  // 64 MiB

// The bytes of `path` ("-": standard input, whatever it is). `what` names
// the input in messages ("the script", "the CSV file").
std::string ReadBoundedInput(const std::string& path, size_t limit, const char* what);

}  // namespace zelmora::cli
