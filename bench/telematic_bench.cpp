// Benchmarks of the telematic submission.
//
//   telematic_bench records [LINES [RUNS]]
//     builds the records of LINES declaration lines held in memory (a
//     monthly sales declaration mixing goods, corrections, services and
//     service corrections) and compares the time with writing the same
//     bytes to a file, the floor of any record builder.
//   telematic_bench submission DB COMPANY YEAR PERIOD
//     the whole submission of both lists (declaration query, record source,
//     records, header) on a host database, with the peak memory.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "facade/clsin_intrabo.h"
#include "platform/dispatch_object.h"
#include "platform/recordset.h"
#include "telematic/telematic_procedures.h"

using namespace zelmora;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

RecordsetPtr Lines(int64_t count) {
  const char* names[] = {"IN01_INDTIPODOC", "IN02_INDOPER",   "IN02_INDTIPODATI", "CG07_CODISOCF",
                         "CG16_PARTIVA",    "IMPORTO",        "IMPORTOVAL",       "RETTIFICA",
                         "RETTIFICAVAL",    "VALSTAT",        "IMPMASSA",         "IMPUNSUPPL",
                         "IN02_INDNATURA",  "IN02_NOMENCLATURA", "IN02_INDCONS",  "IN02_INDTRASP",
                         "CG07_CODISODES",  "CG07_CODISOPRO", "CG07_CODISOORI",   "IN02_PROVORIG",
                         "IN02_PROVDEST",   "IN02_MESERIF",   "IN02_ANNORIF",     "IN02_SEZDOG",
                         "IN02_PROTDICH",   "IN02_PROGRSEZ3", "IN02_NUMDOCORIG",  "IN02_DATADOCORIG",
                         "IN02_SEZORIG",    "IN02_CODICE_IN03", "IN02_CODICE_IN04", "CG07_CODISOPAG"};
  std::vector<FieldInfo> fields;
  for (const char* name : names) {
    FieldInfo field;
    field.name = name;
    field.type = DataType::Variant;
    fields.push_back(field);
  }
  const char* countries[] = {"DE", "FR", "ES", "AT", "NL", "BE"};
  std::vector<Row> rows;
  rows.reserve(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i) {
    const int kind = static_cast<int>(i % 10);  // 6 goods, 1 correction, 2 services, 1 service correction
    const bool services = kind >= 7;
    const int16_t document = (kind == 6 || kind == 9) ? 2 : 1;
    const Variant amount = Variant::Dec(Decimal::FromParts(100000 + (i * 7919) % 9000000, 2));
    Row row = {Variant::Integer(document),
               Variant::Integer(services ? 1 : 0),
               Variant::Integer(static_cast<int16_t>(i % 23 == 0 ? 1 : 0)),
               Variant::String(countries[i % 6]),
               Variant::String(std::string(countries[i % 6]) + std::to_string(100000000 + i % 899999999)),
               amount,
               Variant::Dec(Decimal()),
               Variant::Dec(services && document == 2 ? Decimal::FromParts(i % 50000, 2) : Decimal()),
               Variant::Dec(Decimal()),
               amount,
               Variant::Dec(Decimal::FromParts(1000 + i % 100000, 3)),
               Variant::Dec(Decimal()),
               Variant::Integer(static_cast<int16_t>(1 + i % 9)),
               Variant::String(services ? "62010000" : "84713000"),
               Variant::Integer(static_cast<int16_t>(1 + i % 4)),
               Variant::Integer(3),
               Variant::String(countries[i % 6]),
               Variant::Null(),
               Variant::Null(),
               Variant::String("MO"),
               Variant::Null(),
               Variant::Integer(static_cast<int16_t>(1 + i % 12)),
               Variant::Integer(2024),
               Variant::Long(28100),
               Variant::Long(static_cast<int32_t>(i % 999999)),
               Variant::Long(static_cast<int32_t>(i % 99999)),
               Variant::String("F-" + std::to_string(i)),
               Variant::FromDate(*Date::FromYMD(2024, 1 + static_cast<int>(i % 12), 1 + static_cast<int>(i % 28))),
               Variant::String("A"),
               Variant::String("I"),
               Variant::String("B"),
               Variant::String(countries[i % 6])};
    rows.push_back(std::move(row));
  }
  return Recordset::FromRows(std::move(fields), std::move(rows));
}

int Records(int64_t count, int runs) {
  RecordsetPtr rs = Lines(count);
  CLSIN_INTRABO object;
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  input->PartitaIva = Variant::String("01234567890");
  input->NumFloppy = Variant::Integer(1);
  input->Anno = Variant::Integer(2024);
  input->TipoStampa = Variant::Integer(0);
  input->TipoIntra = Variant::Integer(1);
  input->PeriodoStampa = Variant::Integer(3);
  object.SetCInput(input);

  // The first run pays for the fresh memory of the text; later runs reuse
  // memory the process already has.
  double first = 0;
  double best = 1e9;
  std::string text;
  for (int run = 0; run < runs; ++run) {
    object.COutput()->StringaTracciatoInvioTelematico = Variant();
    int32_t conta = 0;
    const auto start = Clock::now();
    telematic::PreparaStringaTracciato2010(object.context(), *rs, conta);
    const double took = Seconds(start);
    if (run == 0) first = took;
    best = std::min(best, took);
    if (object.Stato() != Variant::Integer(0)) {
      std::cerr << "failed: " << object.Errore().Text() << "\n";
      return 1;
    }
  }
  text = object.COutput()->StringaTracciatoInvioTelematico.Text();

  // The floor: the same bytes written to a file, line by line, and flushed.
  double floor = 1e9;
  for (int run = 0; run < 3; ++run) {
    const auto start = Clock::now();
    std::FILE* file = std::fopen("/tmp/telematic_bench.out", "wb");
    size_t at = 0;
    while (at < text.size()) {
      size_t end = text.find('\n', at);
      end = end == std::string::npos ? text.size() : end + 1;
      std::fwrite(text.data() + at, 1, end - at, file);
      at = end;
    }
    std::fflush(file);
    std::fclose(file);
    floor = std::min(floor, Seconds(start));
  }
  std::remove("/tmp/telematic_bench.out");
  std::printf("records: %lld lines, %zu bytes, build %.3f s (first run %.3f s), write %.3f s, ratio %.1f\n",
              static_cast<long long>(count), text.size(), best, first, floor, best / floor);
  return 0;
}

int Submission(const std::string& db, int company, int year, int period) {
  const auto start = Clock::now();
  CLSIN_INTRABO object;
  auto input = std::make_shared<CLSIN_INPUTINTRA>();
  input->StringaDiConnessione = Variant::String("Provider=SQLite;Data Source=" + db);
  input->Ditta = Variant::Long(company);
  input->Anno = Variant::Integer(static_cast<int16_t>(year));
  input->PeriodoStampa = Variant::Integer(static_cast<int16_t>(period));
  input->TipoStampa = Variant::Integer(2);
  input->AnnoRiferimentoIntra = AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  input->CodiceUtenteInvioTelematico = Variant::String("ABCD");
  input->DataInvioTelematico = Variant::FromDate(*Date::FromYMD(year, 12, 31));
  input->ProgressivoInvioTelematico = Variant::Integer(1);
  input->NumFloppy = Variant::Integer(1);
  input->PartitaIva = Variant::String("01234567890");
  object.SetCInput(input);
  auto current = std::make_shared<DispatchObject>();
  current->SetMember("IndLocalizzazione", Variant::Integer(0));
  auto global = std::make_shared<DispatchObject>();
  global->SetMember("Gcls_DittaCorrente", Variant::Obj(current));
  auto root = std::make_shared<DispatchObject>();
  root->SetMember("ClsGlobal", Variant::Obj(global));
  object.SetActiveInterface(root);
  telematic::SubmissionReport report;
  telematic::PreparaTracciatoPerInvioTelematico(object.context(), &report);
  const double elapsed = Seconds(start);
  if (object.Stato() != Variant::Integer(0)) {
    std::cerr << "failed: " << object.Errore().Text() << "\n";
    return 1;
  }
  int64_t lines = 0;
  for (const auto& list : report.lists) lines += list.written;
  std::printf("submission: %lld declaration lines, %zu bytes, %.3f s, peak %ld MB\n", static_cast<long long>(lines),
              object.COutput()->StringaTracciatoInvioTelematico.Text().size(), elapsed, PeakKilobytes() / 1024);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "records") == 0) return Records(argc >= 3 ? std::atoll(argv[2]) : 1000000, argc >= 4 ? std::atoi(argv[3]) : 3);
  if (argc == 6 && std::strcmp(argv[1], "submission") == 0) {
    return Submission(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
  }
  std::cerr << "usage: telematic_bench records [LINES [RUNS]] | submission DB COMPANY YEAR PERIOD\n";
  return 2;
}
