// The measuring loop the benchmarks share: each run of a scenario in a
// child process of its own, so that the peak resident memory is that run's
// alone; the best wall time is reported with its CPU time and the largest
// peak of all runs.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace zelmora::bench {

// What every benchmark over a demonstration database is told: the
// database, the company and period, and how many runs of each scenario.
struct Settings {
  std::string database;
  int company = 1;
  int year = 2024;
  int period = 3;
  int runs = 3;
};

// DB [--company N] [--year Y] [--period P] [--runs R]; false (the database
// left empty) on anything else.
inline bool ParseSettings(int argc, char** argv, Settings& settings) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--company" && i + 1 < argc) {
      settings.company = std::atoi(argv[++i]);
    } else if (arg == "--year" && i + 1 < argc) {
      settings.year = std::atoi(argv[++i]);
    } else if (arg == "--period" && i + 1 < argc) {
      settings.period = std::atoi(argv[++i]);
    } else if (arg == "--runs" && i + 1 < argc) {
      settings.runs = std::max(1, std::atoi(argv[++i]));
    } else if (settings.database.empty() && !arg.starts_with("--")) {
      settings.database = arg;
    } else {
      settings.database.clear();
      return false;
    }
  }
  return !settings.database.empty();
}

struct Measure {
  long rows = 0;
  double seconds = 0;
  double cpu = 0;
  double peakMiB = 0;
  double startMiB = 0;  // resident before the scenario ran: the program itself
};

// The resident memory of this process now.
inline double ResidentMiB() {
  long pages = 0, resident = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return 0;
  const bool read = std::fscanf(statm, "%ld %ld", &pages, &resident) == 2;
  std::fclose(statm);
  return read ? static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

// A scenario's run returns the number of rows (lines, records) it made, or
// a negative number when it failed.
struct Scenario {
  const char* name;
  std::function<long()> run;
};

inline double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One run in a child process, which writes its measure into a pipe.
inline bool RunOnce(const Scenario& scenario, Measure& measure) {
  int channel[2];
  if (pipe(channel) != 0) return false;
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    Measure m;
    m.startMiB = ResidentMiB();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    m.rows = scenario.run();
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.cpu = CpuSeconds() - cpuStart;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    m.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    const bool written = write(channel[1], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
    std::_Exit(written && m.rows >= 0 ? 0 : 1);
  }
  close(channel[1]);
  const bool read = ::read(channel[0], &measure, sizeof measure) == static_cast<ssize_t>(sizeof measure);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return read && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs every scenario `runs` times and prints one line each; the number of
// scenarios that failed.
inline int RunScenarios(const std::vector<Scenario>& scenarios, int runs) {
  std::printf("%-32s %8s %9s %9s %9s\n", "scenario", "rows", "best s", "cpu s", "peak MiB");
  int failures = 0;
  for (const Scenario& scenario : scenarios) {
    Measure best;
    double peak = 0;
    bool ok = true;
    for (int run = 0; run < runs && ok; ++run) {
      Measure m;
      ok = RunOnce(scenario, m);
      if (ok && (run == 0 || m.seconds < best.seconds)) best = m;
      peak = std::max(peak, m.peakMiB);
    }
    if (!ok) {
      std::printf("%-32s failed\n", scenario.name);
      ++failures;
      continue;
    }
    std::printf("%-32s %8ld %9.3f %9.3f %9.1f\n", scenario.name, best.rows, best.seconds, best.cpu, peak);
  }
  return failures;
}

}  // namespace zelmora::bench
