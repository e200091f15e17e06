// Time and peak memory of the nomenclature checks and the form data on a
// demonstration database.
//
//   bench_nomenclature DB [--company N] [--year Y] [--period P] [--runs R]
//
// DB is made beforehand, e.g. `zelmora db demo DB --movements 1000000
// --seed 9`. Each scenario runs R times (default 3), each run in a process
// of its own so that the peak resident memory is that run's alone; the
// best wall time is reported with its CPU time and the largest peak. Sales
// are taken monthly and purchases quarterly, as the demo company declares
// them; the period defaults to March 2024 (the end of a quarter).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/check_command.h"
#include "component/clsin_intrabo.h"
#include "platform/dispatch_object.h"
#include "platform/recordset.h"

namespace {

using Clock = std::chrono::steady_clock;
using zelmora::Variant;

struct Settings {
  std::string database;
  int company = 1;
  int year = 2024;
  int period = 3;
};

zelmora::ObjectPtr ItalianCompany() {
  auto company = std::make_shared<zelmora::DispatchObject>();
  company->SetMember("IndLocalizzazione", Variant::Integer(0));
  auto global = std::make_shared<zelmora::DispatchObject>();
  global->SetMember("Gcls_DittaCorrente", Variant::Obj(company));
  auto root = std::make_shared<zelmora::DispatchObject>();
  root->SetMember("ClsGlobal", Variant::Obj(global));
  return root;
}

// Calls one operation of the business object; the number of rows it returned.
int CallOperation(const Settings& settings, const char* operation, int list, int periodicity) {
  zelmora::CLSIN_INTRABO object;
  auto in = std::make_shared<zelmora::CLSIN_INPUTINTRA>();
  in->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=" + settings.database);
  in->Ditta = Variant::Long(settings.company);
  in->Anno = Variant::Integer(static_cast<int16_t>(settings.year));
  in->PeriodoStampa = Variant::Integer(static_cast<int16_t>(settings.period));
  in->TipoIntra = Variant::Integer(static_cast<int16_t>(periodicity));
  in->TipoStampa = Variant::Integer(static_cast<int16_t>(list));
  in->AnnoRiferimentoIntra = zelmora::AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  object.SetCInput(in);
  object.SetActiveInterface(ItalianCompany());
  std::vector<Variant> none;
  const Variant result = object.Invoke(operation, none);
  if (object.Stato() != Variant::Integer(0)) {
    std::fprintf(stderr, "%s: Stato %s %s\n", operation, object.Stato().Text().c_str(),
                 object.Errore().Text().c_str());
    return -1;
  }
  auto rs = std::dynamic_pointer_cast<zelmora::Recordset>(result.AsObject());
  return rs ? rs->RecordCount() : -1;
}

struct Scenario {
  const char* name;
  std::function<int(const Settings&)> run;
};

const std::vector<Scenario> kScenarios = {
    {"errors, monthly sales",
     [](const Settings& s) { return CallOperation(s, "GeneraRstErroriNomenclatura", 0, 1); }},
    {"errors, quarterly purchases",
     [](const Settings& s) { return CallOperation(s, "GeneraRstErroriNomenclatura", 1, 2); }},
    {"errors, both lists (telematic)",
     [](const Settings& s) { return CallOperation(s, "GeneraRstErroriNomenclaturaInvioTelematico", 2, 0); }},
    {"form data, monthly sales",
     [](const Settings& s) { return CallOperation(s, "GeneraRstDatiModuloStampe", 0, 1); }},
    {"form data, quarterly purchases",
     [](const Settings& s) { return CallOperation(s, "GeneraRstDatiModuloStampe", 1, 2); }},
    {"zelmora check --lists both",
     [](const Settings& s) {
       std::ostringstream out, err;
       const int status = zelmora::cli::RunCheck(
           {.database = s.database, .company = s.company, .year = s.year, .period = s.period, .lists = "both"}, out,
           err);
       if (status == 2) std::fprintf(stderr, "%s", err.str().c_str());
       // The lines listed: the table's rows less its heading, rule and total.
       const std::string text = out.str();
       const long lines = std::count(text.begin(), text.end(), '\n');
       return status == 2 ? -1 : static_cast<int>(lines > 3 ? lines - 3 : 0);
     }},
};

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Measure {
  int rows = 0;
  double seconds = 0;
  double cpu = 0;
  double peakMiB = 0;
};

// One run in a child process, which writes its measure into a pipe.
bool RunOnce(const Settings& settings, const Scenario& scenario, Measure& measure) {
  int channel[2];
  if (pipe(channel) != 0) return false;
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    Measure m;
    m.rows = scenario.run(settings);
    m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
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

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  int runs = 3;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--company" && i + 1 < argc) {
      settings.company = std::atoi(argv[++i]);
    } else if (arg == "--year" && i + 1 < argc) {
      settings.year = std::atoi(argv[++i]);
    } else if (arg == "--period" && i + 1 < argc) {
      settings.period = std::atoi(argv[++i]);
    } else if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (settings.database.empty() && !arg.starts_with("--")) {
      settings.database = arg;
    } else {
      settings.database.clear();
      break;
    }
  }
  if (settings.database.empty()) {
    std::cerr << "usage: bench_nomenclature DB [--company N] [--year Y] [--period P] [--runs R]\n";
    return 2;
  }
  std::printf("%-32s %6s %9s %9s %9s\n", "scenario", "rows", "best s", "cpu s", "peak MiB");
  int failures = 0;
  for (const Scenario& scenario : kScenarios) {
    Measure best;
    double peak = 0;
    bool ok = true;
    for (int run = 0; run < runs && ok; ++run) {
      Measure m;
      ok = RunOnce(settings, scenario, m);
      if (ok && (run == 0 || m.seconds < best.seconds)) best = m;
      peak = std::max(peak, m.peakMiB);
    }
    if (!ok) {
      std::printf("%-32s failed\n", scenario.name);
      ++failures;
      continue;
    }
    std::printf("%-32s %6d %9.3f %9.3f %9.1f\n", scenario.name, best.rows, best.seconds, best.cpu, peak);
  }
  return failures == 0 ? 0 : 1;
}
