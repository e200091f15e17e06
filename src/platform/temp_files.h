// The temporary files a writer makes beside the file it is writing, and
// what becomes of them when the writer does not get to finish.
//
// A temporary file is named ".<file name>.zelmora-<pid>-<tag>.tmp": hidden,
// in the same folder as its file (so that the final rename stays on one
// file system), and carrying the process that writes it. While it is
// written it is listed in a fixed table of paths, which a handler for
// SIGINT, SIGTERM and SIGHUP empties (unlinking each path, nothing else)
// before the signal takes its default course; the program installs that
// handler, a host that embeds the library does not. A file left by a run
// that was killed outright is removed by a later run in the same folder
// (SweepTemporaryFiles) once its process is gone and nobody holds its lock:
// a live writer's file, even one of another run at the same moment, is
// never touched.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace zelmora {

// ".<fileName>.zelmora-<this process>-<tag>.tmp"; `tag` letters and digits.
std::string TemporaryName(std::string_view fileName, std::string_view tag);

// The writing process of a temporary name, or 0 when the name is not one.
pid_t TemporaryNameOwner(std::string_view name);

// Lists a path in the table the signal handler empties, for as long as the
// object lives. A table that is full (eight writers at once) lists nothing:
// the file is then left to the next run's sweep.
class TemporaryPathEntry {
 public:
  TemporaryPathEntry() = default;
  explicit TemporaryPathEntry(const std::string& path);
  ~TemporaryPathEntry();
  TemporaryPathEntry(const TemporaryPathEntry&) = delete;
  TemporaryPathEntry& operator=(const TemporaryPathEntry&) = delete;
  // Takes the path off the table (the file has been renamed or removed).
  void Release();

 private:
  int slot_ = -1;
};

// Installs the handler for SIGINT, SIGTERM and SIGHUP, except for a signal
// the process was started ignoring. For the program's main(), not for a host.
void InstallTemporaryFileCleanup();

// Removes from `folder` the temporary files of writers that are no longer
// running. Returns how many it removed; a folder it cannot read removes none.
int SweepTemporaryFiles(const std::string& folder);

// Holds the writer's lock on an open temporary file (a lock the sweep
// tests, released by the system when the process ends).
void LockTemporaryFile(int fd);

}  // namespace zelmora
