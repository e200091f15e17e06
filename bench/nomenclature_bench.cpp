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
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/process_runner.h"
#include "cli/check_command.h"
#include "facade/clsin_intrabo.h"
#include "platform/dispatch_object.h"
#include "platform/recordset.h"

namespace {

using zelmora::Variant;

using zelmora::bench::Settings;

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

std::vector<zelmora::bench::Scenario> Scenarios(const Settings& settings) {
  return {
    {"errors, monthly sales",
     [s = settings] { return CallOperation(s, "GeneraRstErroriNomenclatura", 0, 1); }},
    {"errors, quarterly purchases",
     [s = settings] { return CallOperation(s, "GeneraRstErroriNomenclatura", 1, 2); }},
    {"errors, both lists (telematic)",
     [s = settings] { return CallOperation(s, "GeneraRstErroriNomenclaturaInvioTelematico", 2, 0); }},
    {"form data, monthly sales",
     [s = settings] { return CallOperation(s, "GeneraRstDatiModuloStampe", 0, 1); }},
    {"form data, quarterly purchases",
     [s = settings] { return CallOperation(s, "GeneraRstDatiModuloStampe", 1, 2); }},
    {"zelmora check --lists both",
     [s = settings] {
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
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  if (!zelmora::bench::ParseSettings(argc, argv, settings)) {
    std::cerr << "usage: bench_nomenclature DB [--company N] [--year Y] [--period P] [--runs R]\n";
    return 2;
  }
  return zelmora::bench::RunScenarios(Scenarios(settings), settings.runs) == 0 ? 0 : 1;
}
