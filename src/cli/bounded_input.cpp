#include "cli/bounded_input.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cli/input_checks.h"
#include "cli/output_target.h"

namespace zelmora::cli {

namespace {

std::string Mebibytes(size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

// Reads `fd` to its end, or to one byte past `limit`.
std::string ReadAll(int fd, size_t limit, const std::string& named) {
  std::string text;
  char buffer[65536];
  while (text.size() <= limit) {
    const size_t wanted = std::min(sizeof buffer, limit + 1 - text.size());
    const ssize_t n = ::read(fd, buffer, wanted);
    if (n == 0) return text;
    if (n > 0) {
      text.append(buffer, static_cast<size_t>(n));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd wait{fd, POLLIN, 0};
      ::poll(&wait, 1, -1);
      continue;
    }
    throw Refusal{"cannot read " + named + ": " + std::strerror(errno)};
  }
  throw Refusal{named + " is larger than " + Mebibytes(limit) + ", the most that is read"};
}

}  // namespace

std::string ReadBoundedInput(const std::string& path, size_t limit, const char* what) {
  if (path == "-") return ReadAll(STDIN_FILENO, limit, std::string(what) + " on standard input");
  const std::string named = std::string(what) + " " + Shown(path);
  // Not blocking on a named pipe that has no writer: it is refused anyway.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) throw Refusal{"cannot read " + named + ": " + std::strerror(errno)};
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info;
  if (::fstat(fd, &info) != 0) throw Refusal{"cannot read " + named + ": " + std::strerror(errno)};
  if (!S_ISREG(info.st_mode)) {
    throw Refusal{named + " is " + FileKindOf(info.st_mode) + ": it is read from a file, or from standard input as -"};
  }
  if (static_cast<unsigned long long>(info.st_size) > limit) {
    throw Refusal{named + " is larger than " + Mebibytes(limit) + ", the most that is read"};
  }
  return ReadAll(fd, limit, named);
}

}  // namespace zelmora::cli
