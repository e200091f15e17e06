// Time and peak memory of the declaration-lines statement on demonstration
// databases of growing size.
//
//   bench_declaration [--sizes 10000,100000,1000000] [--folder DIR] [--keep]
//                     [--max-seconds S]
//
// Each size's database is made once (as `zelmora db demo --movements N`
// makes it) under DIR and kept there with --keep. Each scenario runs in a
// process of its own (this program started again with --run), so that the
// peak resident memory reported is that scenario's alone; one that runs
// longer than S seconds (default 300) is stopped and reported as such.
// A scenario builds the statement through the business object, as every
// consumer does, and runs it on the SQLite backend; the time is the wall
// time of building and running it, the CPU time that of the process.
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "facade/clsin_intrabo.h"
#include "component/connection_context.h"
#include "declaration/declaration_procedures.h"
#include "platform/dispatch_object.h"
#include "platform/error.h"
#include "platform/recordset.h"
#include "demo/demo_data.h"
#include "platform/sqlite/host_schema.h"
#include "platform/sqlite/sqlite_extensions.h"

namespace {

using Clock = std::chrono::steady_clock;
using zelmora::Variant;

struct Scenario {
  const char* name;
  std::function<void(zelmora::CLSIN_INPUTINTRA&)> set;
};

// The demonstration company's declarations of May 2024 (or the quarter
// that ends in June).
const std::vector<Scenario> kScenarios = {
    {"monthly sales", [](zelmora::CLSIN_INPUTINTRA&) {}},
    {"quarterly purchases",
     [](zelmora::CLSIN_INPUTINTRA& in) {
       in.TipoIntra = Variant::Integer(2);
       in.PeriodoStampa = Variant::Integer(6);
       in.TipoStampa = Variant::Integer(1);
     }},
    {"monthly sales, linked", [](zelmora::CLSIN_INPUTINTRA& in) { in.CheckPiuAttivita = Variant::Integer(1); }},
    {"monthly sales, AccorpaArt23", [](zelmora::CLSIN_INPUTINTRA& in) { in.AccorpaArt23 = true; }},
};

void MakeDemo(const std::string& path, int64_t movements) {
  const std::string scratch = path + ".tmp";
  std::filesystem::remove(scratch);
  sqlite3* db = nullptr;
  if (sqlite3_open(scratch.c_str(), &db) != SQLITE_OK || zelmora::RegisterTsqlExtensions(db) != SQLITE_OK) {
    throw zelmora::Error(1, "cannot create " + scratch);
  }
  try {
    zelmora::CreateHostSchema(db);
    zelmora::DemoOptions options;
    options.movements = movements;
    zelmora::FillDemoData(db, options);
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
  sqlite3_close(db);
  std::filesystem::rename(scratch, path);
}

zelmora::ObjectPtr ItalianCompany() {
  auto company = std::make_shared<zelmora::DispatchObject>();
  company->SetMember("IndLocalizzazione", Variant::Integer(0));
  auto global = std::make_shared<zelmora::DispatchObject>();
  global->SetMember("Gcls_DittaCorrente", Variant::Obj(company));
  auto root = std::make_shared<zelmora::DispatchObject>();
  root->SetMember("ClsGlobal", Variant::Obj(global));
  return root;
}

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs in the child: prints "rows seconds cpu-seconds" on one line, exits 0 or 1.
int RunScenario(const std::string& path, const Scenario& scenario) {
  zelmora::CLSIN_INTRABO object;
  auto in = std::make_shared<zelmora::CLSIN_INPUTINTRA>();
  in->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=" + path);
  in->Ditta = Variant::Integer(1);
  in->Anno = Variant::Integer(2024);
  in->PeriodoStampa = Variant::Integer(5);
  in->TipoIntra = Variant::Integer(1);
  in->TipoStampa = Variant::Integer(0);
  in->AnnoRiferimentoIntra = zelmora::AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  scenario.set(*in);
  object.SetCInput(in);
  object.SetActiveInterface(ItalianCompany());
  zelmora::IntraContext& context = object.context();
  try {
    if (!zelmora::ApriOperazioneDatabase(context, true)) throw zelmora::Error(1, "cannot open " + path);
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    zelmora::declaration::BuildDeclarationStatement(context);
    if (context.Stato != 0) throw zelmora::Error(context.Stato, context.Errore.Text());
    zelmora::RecordsetPtr lines = context.connection().Execute(object.COutput()->StringaSQLperStampaIntra.Text());
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%d %.3f %.3f\n", lines->RecordCount(), seconds, CpuSeconds() - cpuStart);
    return 0;
  } catch (const zelmora::Error& e) {
    std::fprintf(stderr, "%s: %s\n", scenario.name, e.description().c_str());
    return 1;
  }
}

std::vector<int64_t> ParseSizes(const std::string& text) {
  std::vector<int64_t> sizes;
  size_t start = 0;
  while (start < text.size()) {
    size_t comma = text.find(',', start);
    sizes.push_back(std::stoll(text.substr(start, comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return sizes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--run") {
    const size_t index = std::stoul(argv[3]);
    if (index >= kScenarios.size()) return 2;
    return RunScenario(argv[2], kScenarios[index]);
  }
  std::vector<int64_t> sizes = {10000, 100000, 1000000};
  unsigned maxSeconds = 300;
  std::string folder = (std::filesystem::temp_directory_path() / "zelmora-bench").string();
  bool keep = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--sizes" && i + 1 < argc) {
      sizes = ParseSizes(argv[++i]);
    } else if (arg == "--folder" && i + 1 < argc) {
      folder = argv[++i];
    } else if (arg == "--keep") {
      keep = true;
    } else if (arg == "--max-seconds" && i + 1 < argc) {
      maxSeconds = static_cast<unsigned>(std::stoul(argv[++i]));
    } else {
      std::cerr << "usage: bench_declaration [--sizes N,N,...] [--folder DIR] [--keep] [--max-seconds S]\n";
      return 2;
    }
  }
  std::filesystem::create_directories(folder);

  std::printf("%10s  %-30s %7s %9s %9s %9s %12s\n", "movements", "scenario", "lines", "seconds", "cpu s",
              "peak MiB", "us/movement");
  int failures = 0;
  for (int64_t size : sizes) {
    const std::string path = folder + "/demo-" + std::to_string(size) + ".db";
    if (!std::filesystem::exists(path)) {
      // Made in a child process, so that the memory it takes does not count
      // in the scenarios' peaks (a forked child starts with its parent's).
      const auto start = Clock::now();
      std::fflush(stdout);
      const pid_t maker = fork();
      if (maker == 0) {
        try {
          MakeDemo(path, size);
        } catch (const zelmora::Error& e) {
          std::fprintf(stderr, "demo of %lld movements: %s\n", static_cast<long long>(size), e.description().c_str());
          std::_Exit(1);
        }
        std::_Exit(0);
      }
      int status = 0;
      waitpid(maker, &status, 0);
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
      std::fprintf(stderr, "made %s in %.1f s\n", path.c_str(),
                   std::chrono::duration<double>(Clock::now() - start).count());
    }
    for (size_t index = 0; index < kScenarios.size(); ++index) {
      const Scenario& scenario = kScenarios[index];
      int pipe_fds[2];
      if (pipe(pipe_fds) != 0) return 1;
      std::fflush(stdout);
      const pid_t child = fork();
      if (child == 0) {
        close(pipe_fds[0]);
        dup2(pipe_fds[1], STDOUT_FILENO);
        alarm(maxSeconds);
        const std::string number = std::to_string(index);
        execl("/proc/self/exe", argv[0], "--run", path.c_str(), number.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
      }
      close(pipe_fds[1]);
      std::string answer;
      char buffer[256];
      ssize_t n;
      while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0) answer.append(buffer, static_cast<size_t>(n));
      close(pipe_fds[0]);
      int status = 0;
      rusage usage{};
      wait4(child, &status, 0, &usage);
      int rows = 0;
      double seconds = 0, cpu = 0;
      if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) {
        std::printf("%10lld  %-30s stopped after %u s\n", static_cast<long long>(size), scenario.name, maxSeconds);
        continue;
      }
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
          std::sscanf(answer.c_str(), "%d %lf %lf", &rows, &seconds, &cpu) != 3) {
        std::printf("%10lld  %-30s failed\n", static_cast<long long>(size), scenario.name);
        ++failures;
        continue;
      }
      std::printf("%10lld  %-30s %7d %9.3f %9.3f %9.1f %12.2f\n", static_cast<long long>(size), scenario.name, rows,
                  seconds, cpu, static_cast<double>(usage.ru_maxrss) / 1024.0,
                  seconds * 1e6 / static_cast<double>(size));
      std::fflush(stdout);
    }
    if (!keep) std::filesystem::remove(path);
  }
  return failures == 0 ? 0 : 1;
}
