// Runs the zelmora program as a person runs it: the arguments handed over
// as they are (no shell in between, so quotes, semicolons and control
// characters reach it untouched), its standard output and error caught in
// files of a scratch folder.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "support/file_bytes.h"

extern char** environ;

namespace zelmora::testing {

struct Outcome {
  int code = -1;  // the exit status; -1 when the program did not exit (a crash)
  std::string out, err;
};

// Starts the program in the background: standard input read from `input`
// (nothing when empty), standard output and error into `scratch`'s
// "stdout" and "stderr". The process id, or -1 when it could not start.
inline pid_t SpawnZelmora(const TempFolder& scratch, const std::vector<std::string>& args, const std::string& input) {
  const std::string out = scratch / "stdout", err = scratch / "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, input.empty() ? "/dev/null" : input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> all{ZELMORA_BINARY};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Runs the program to its end with these arguments, standard input read
// from `input` (nothing when empty).
inline Outcome RunZelmora(const std::vector<std::string>& args, const std::string& input = "") {
  TempFolder scratch;
  Outcome outcome;
  const pid_t pid = SpawnZelmora(scratch, args, input);
  if (pid > 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  outcome.out = FileBytes(scratch / "stdout");
  outcome.err = FileBytes(scratch / "stderr");
  return outcome;
}

}  // namespace zelmora::testing
