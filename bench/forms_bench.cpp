// Time and peak memory of zelmora print on a demonstration database: the
// laser forms of a month's sales, a quarter's purchases, and the journal
// of the month's sales, each written as a PDF.
//
//   bench_forms DB [--company N] [--year Y] [--period P] [--runs R] [--out DIR]
//
// DB is made beforehand, e.g. `zelmora db demo DB --movements 1000000
// --seed 9`. Each scenario runs R times (default 3), each run in a process
// of its own so that the peak resident memory is that run's alone; the
// best wall time is reported with its CPU time, the largest peak and the
// page count of the document.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/print_command.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Result {
  double wall = 0, cpu = 0;
  long peakKiB = 0;
  int pages = 0;
};

// One run in a child process; its page count comes back as the exit status
// byte is too small, so through a pipe.
Result RunOnce(const zelmora::cli::PrintRequest& request) {
  int fds[2];
  if (pipe(fds) != 0) std::exit(1);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    std::ostringstream out, err;
    const int status = zelmora::cli::RunPrint(request, out, err);
    if (status != 0) std::cerr << err.str();
    const std::string said = out.str();
    const size_t colon = said.rfind(": ");
    const int pages = colon == std::string::npos ? 0 : std::atoi(said.c_str() + colon + 2);
    if (write(fds[1], &pages, sizeof pages) != sizeof pages) _exit(1);
    _exit(status);
  }
  close(fds[1]);
  Result result;
  if (read(fds[0], &result.pages, sizeof result.pages) != sizeof result.pages) result.pages = -1;
  close(fds[0]);
  int status = 0;
  struct rusage usage {};
  wait4(child, &status, 0, &usage);
  result.wall = std::chrono::duration<double>(Clock::now() - start).count();
  result.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  result.peakKiB = usage.ru_maxrss;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) result.pages = -1;
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help") {
    std::cout << "bench_forms DB [--company N] [--year Y] [--period P] [--runs R] [--out DIR]\n";
    return argc < 2 ? 2 : 0;
  }
  std::string database = argv[1], company = "1", year = "2024", period = "3", outDir = "/tmp";
  int runs = 3;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i], value = argv[i + 1];
    if (option == "--company") company = value;
    else if (option == "--year") year = value;
    else if (option == "--period") period = value;
    else if (option == "--runs") runs = std::max(1, std::atoi(value.c_str()));
    else if (option == "--out") outDir = value;
    else {
      std::cerr << "unknown option " << option << "\n";
      return 2;
    }
  }
  struct Scenario {
    const char* name;
    const char* document;
    const char* list;
    bool quarterly;
  };
  const Scenario scenarios[] = {{"laser forms, monthly sales", "forms", "sales", false},
                                {"laser forms, quarterly purchases", "forms", "purchases", true},
                                {"journal, monthly sales", "journal", "sales", false},
                                {"journal, quarterly purchases", "journal", "purchases", true}};
  std::printf("| scenario | pages | time | CPU | peak memory |\n|---|---|---|---|---|\n");
  for (const Scenario& s : scenarios) {
    zelmora::cli::PrintRequest request{s.document, database, company, year, period, s.list, s.quarterly, "",
                                       outDir + "/bench-" + s.document + "-" + s.list + ".pdf"};
    Result best;
    best.wall = 1e300;
    long peak = 0;
    for (int run = 0; run < runs; ++run) {
      const Result r = RunOnce(request);
      peak = std::max(peak, r.peakKiB);
      if (r.wall < best.wall) best = r;
    }
    std::printf("| %s | %d | %.2f s | %.2f s | %ld MiB |\n", s.name, best.pages, best.wall, best.cpu, peak / 1024);
    std::fflush(stdout);
  }
  return 0;
}
