// The id of a process that has just ended (a child that exits at once and
// is waited for), to name the writer of a leftover temporary file.
#pragma once

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zelmora::testing {

inline pid_t DeadProcessId() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

}  // namespace zelmora::testing
