// Where a command may write. Every file a command writes is made under a
// temporary name and renamed over its target at the end, and a rename
// replaces whatever the target was: the accounting database the command is
// reading, a device node, a named pipe. These checks refuse such targets
// before anything is written (a Refusal, exit 2), and hold the names a
// person gives for a file to the shape of a plain file name.
#pragma once

#include <sys/types.h>

#include <string>

namespace zelmora::cli {

// Refuses `path` when it is the database being read (`database`, the --db
// value: the same file by identity, whatever the names, links or symbolic
// links in between; a connection string names no file here), or when it
// exists and is not a regular file (a folder, a device, a pipe, a socket,
// or a symbolic link to one of those). `option` names the option the path
// came from, for the message.
void CheckOutputTarget(const std::string& path, const std::string& database, const char* option);

// A file name given where a bare name is expected (--file): not empty, not
// "." or "..", no "/", no control character, at most kMaxFileNameBytes bytes.
void CheckFileName(const std::string& name, const char* option);

// A path given for a file to write (--out FILE): at most kMaxPathBytes
// bytes, no control character, and its last part a file name as above.
void CheckOutputPath(const std::string& path, const char* option);

// What a file that is not a regular one is, as a message names it ("a
// folder", "a named pipe", ...), from its stat mode.
const char* FileKindOf(mode_t mode);

// Leaves room in a file system's 255-byte names for the temporary names
// written beside the file (".NAME.zelmora-PID-TAG.tmp", and the French
// file's staging name inside such a name).
inline constexpr size_t kMaxFileNameBytes = 150;
inline constexpr size_t kMaxPathBytes = 4000;

}  // namespace zelmora::cli
