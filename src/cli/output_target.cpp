#include "cli/output_target.h"

#include <sys/stat.h>

#include "cli/options.h"
#include "cli/input_checks.h"

namespace zelmora::cli {

const char* FileKindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

void CheckOutputTarget(const std::string& path, const std::string& database, const char* option) {
  struct stat target;
  if (::stat(path.c_str(), &target) != 0) {
    // Nothing there, or a symbolic link to nothing: the rename makes a new
    // file (replacing the dangling link, never what it would point to).
    return;
  }
  const std::string named = std::string(option) + " " + Shown(path);
  if (!S_ISREG(target.st_mode)) {
    throw Refusal{named + " is " + FileKindOf(target.st_mode) + ", not a file that can be replaced"};
  }
  struct stat input;
  if (!database.empty() && !IsConnectionString(database) && ::stat(database.c_str(), &input) == 0 &&
      input.st_dev == target.st_dev && input.st_ino == target.st_ino) {
    throw Refusal{named + " is the database being read (--db " + Shown(database) + ")"};
  }
}

void CheckFileName(const std::string& name, const char* option) {
  const std::string named = std::string(option) + " '" + Shown(name) + "'";
  if (name.empty()) throw Refusal{std::string(option) + " must name a file, not be empty"};
  if (HasControlCharacter(name)) throw Refusal{named + " holds a control character"};
  if (name == "." || name == ".." || name.find('/') != std::string::npos) {
    throw Refusal{std::string(option) + " must be a file name, not a path: '" + Shown(name) + "'"};
  }
  if (name.size() > kMaxFileNameBytes) {
    throw Refusal{std::string(option) + " has at most " + std::to_string(kMaxFileNameBytes) + " bytes, not " +
                  std::to_string(name.size())};
  }
}

void CheckOutputPath(const std::string& path, const char* option) {
  if (path.size() > kMaxPathBytes) {
    throw Refusal{std::string(option) + " has at most " + std::to_string(kMaxPathBytes) + " bytes, not " +
                  std::to_string(path.size())};
  }
  if (HasControlCharacter(path)) throw Refusal{std::string(option) + " '" + Shown(path) + "' holds a control character"};
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") {
    throw Refusal{std::string(option) + " '" + Shown(path) + "' must end in a file name"};
  }
  CheckFileName(name, option);
}

}  // namespace zelmora::cli
