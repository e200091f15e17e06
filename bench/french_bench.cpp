// Time and peak memory of the French declaration on a demonstration
// database: the file of both lists through zelmora french, and the editable
// recordset of both lists.
//
//   bench_french DB [--company N] [--year Y] [--period P] [--runs R]
//
// DB is made beforehand, e.g. `zelmora db demo DB --movements 1000000
// --seed 9`; its company 3 keeps the French localisation. Each scenario
// runs R times (default 3) in processes of their own.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <algorithm>
#include <iostream>
#include <sstream>
#include <string>

#include "bench/process_runner.h"
#include "cli/french_command.h"
#include "facade/clsin_intrabo.h"
#include "platform/dispatch_object.h"
#include "platform/recordset.h"

namespace {

using zelmora::Variant;

using zelmora::bench::Settings;

zelmora::ObjectPtr FrenchCompany() {
  auto company = std::make_shared<zelmora::DispatchObject>();
  company->SetMember("IndLocalizzazione", Variant::Integer(2));
  auto global = std::make_shared<zelmora::DispatchObject>();
  global->SetMember("Gcls_DittaCorrente", Variant::Obj(company));
  auto root = std::make_shared<zelmora::DispatchObject>();
  root->SetMember("ClsGlobal", Variant::Obj(global));
  return root;
}

// The file's records (header included), or -1.
long WriteFile(const Settings& s) {
  const std::string folder = std::filesystem::temp_directory_path() / ("zelmora-bench-french-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  zelmora::cli::FrenchRequest request;
  request.database = s.database;
  request.company = std::to_string(s.company);
  request.year = std::to_string(s.year);
  request.period = std::to_string(s.period);
  request.user = "FR01";
  request.fileName = "DEB.TXT";
  request.outDir = folder;
  std::ostringstream out, err;
  const int status = zelmora::cli::RunFrench(request, out, err);
  long records = -1;
  if (status == 0) {
    std::ifstream file(folder + "/DEB.TXT", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    records = std::count(text.begin(), text.end(), '\n');
  } else {
    std::fprintf(stderr, "%s", err.str().c_str());
  }
  std::filesystem::remove_all(folder);
  return records;
}

long Recordset(const Settings& s) {
  zelmora::CLSIN_INTRABO object;
  auto in = std::make_shared<zelmora::CLSIN_INPUTINTRA>();
  in->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=" + s.database);
  in->Ditta = Variant::Long(s.company);
  in->Anno = Variant::Integer(static_cast<int16_t>(s.year));
  in->PeriodoStampa = Variant::Integer(static_cast<int16_t>(s.period));
  in->TipoStampa = Variant::Integer(2);
  in->AnnoRiferimentoIntra = zelmora::AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  object.SetCInput(in);
  object.SetActiveInterface(FrenchCompany());
  zelmora::RecordsetPtr rs = object.GeneraRstDatiLocalizzazioneFrancese();
  if (!rs) {
    std::fprintf(stderr, "GeneraRstDatiLocalizzazioneFrancese: Stato %s\n", object.Stato().Text().c_str());
    return -1;
  }
  return rs->RecordCount();
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  settings.company = 3;
  if (!zelmora::bench::ParseSettings(argc, argv, settings)) {
    std::cerr << "usage: bench_french DB [--company N] [--year Y] [--period P] [--runs R]\n";
    return 2;
  }
  const std::vector<zelmora::bench::Scenario> scenarios = {
      {"zelmora french, both lists", [settings] { return WriteFile(settings); }},
      {"editable recordset, both lists", [settings] { return Recordset(settings); }},
  };
  return zelmora::bench::RunScenarios(scenarios, settings.runs) == 0 ? 0 : 1;
}
