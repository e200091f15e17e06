#include "platform/temp_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace zelmora {

namespace {

constexpr std::string_view kMarker = ".zelmora-";
constexpr std::string_view kSuffix = ".tmp";

// The table the signal handler reads. A slot is free (0), being filled or
// emptied by its owner (1), or holds a path to remove (2). The handler only
// reads slots in state 2, with lock-free atomics, and calls unlink: both
// are safe inside a signal handler.
constexpr int kSlots = 8;
constexpr size_t kPathSize = 4096;
char gPaths[kSlots][kPathSize];
std::atomic<int> gStates[kSlots];
static_assert(std::atomic<int>::is_always_lock_free);

void RemoveListedPaths() {
  for (int i = 0; i < kSlots; ++i) {
    if (gStates[i].load(std::memory_order_acquire) == 2) ::unlink(gPaths[i]);
  }
}

extern "C" void OnTerminatingSignal(int signal) {
  const int saved = errno;
  RemoveListedPaths();
  // The default action, taken as soon as the handler returns (the signal
  // is blocked while it runs), ends the process as the signal would have.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  ::raise(signal);
  errno = saved;
}

bool IsAlive(pid_t pid) { return pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

std::string TemporaryName(std::string_view fileName, std::string_view tag) {
  std::string name = ".";
  name += fileName;
  name += kMarker;
  name += std::to_string(::getpid());
  name += '-';
  name += tag;
  name += kSuffix;
  return name;
}

pid_t TemporaryNameOwner(std::string_view name) {
  if (name.size() < 2 || name[0] != '.' || !name.ends_with(kSuffix)) return 0;
  name.remove_suffix(kSuffix.size());
  const size_t marker = name.rfind(kMarker);
  if (marker == std::string_view::npos || marker == 0) return 0;
  std::string_view rest = name.substr(marker + kMarker.size());
  const size_t dash = rest.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash > 9 || dash + 1 == rest.size()) return 0;
  pid_t pid = 0;
  for (char c : rest.substr(0, dash)) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  for (char c : rest.substr(dash + 1)) {
    const bool letterOrDigit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letterOrDigit) return 0;
  }
  return pid;
}

TemporaryPathEntry::TemporaryPathEntry(const std::string& path) {
  if (path.size() >= kPathSize) return;
  for (int i = 0; i < kSlots; ++i) {
    int expected = 0;
    if (gStates[i].compare_exchange_strong(expected, 1, std::memory_order_acq_rel)) {
      std::memcpy(gPaths[i], path.c_str(), path.size() + 1);
      gStates[i].store(2, std::memory_order_release);
      slot_ = i;
      return;
    }
  }
}

TemporaryPathEntry::~TemporaryPathEntry() { Release(); }

void TemporaryPathEntry::Release() {
  if (slot_ < 0) return;
  gStates[slot_].store(0, std::memory_order_release);
  slot_ = -1;
}

void InstallTemporaryFileCleanup() {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction handler {};
    handler.sa_handler = OnTerminatingSignal;
    sigemptyset(&handler.sa_mask);
    ::sigaction(signal, &handler, nullptr);
  }
}

void LockTemporaryFile(int fd) { ::flock(fd, LOCK_EX | LOCK_NB); }

int SweepTemporaryFiles(const std::string& folder) {
  DIR* directory = ::opendir(folder.c_str());
  if (directory == nullptr) return 0;
  const int folderFd = ::dirfd(directory);
  int removed = 0;
  while (const dirent* entry = ::readdir(directory)) {
    const pid_t owner = TemporaryNameOwner(entry->d_name);
    if (owner <= 0 || IsAlive(owner)) continue;
    // Only a regular file, not through a link, and only when no process
    // holds its writer's lock (a writer whose pid this process cannot see,
    // in another pid namespace, still holds it).
    const int fd = ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::unlinkat(folderFd, entry->d_name, 0) == 0) {
      ++removed;
    }
    ::close(fd);
  }
  ::closedir(directory);
  return removed;
}

}  // namespace zelmora
