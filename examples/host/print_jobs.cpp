// A host that supplies its own host services: its report objects note every
// operation the business object asks of them, and the host keeps the print
// jobs to print them with its own report engine. Here they are listed: the
// cover page and the first page of the laser INTRA-1 form of company 1,
// March 2024 (monthly sales).
//   print_jobs DATABASE
#include <deque>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <zelmora/zelmora.h>

using zelmora::Variant;

// A report object that writes down the name of each operation asked of it
// (or of its template during BeforePrintReport) before it is made.
class NotingReport : public zelmora::ReportObject {
 public:
  NotingReport(std::string member, std::vector<std::string>& log) : ReportObject(std::move(member)), log_(log) {}

 protected:
  void BeforeCall(std::string_view name) override { log_.emplace_back(name); }

 private:
  std::vector<std::string>& log_;
};

// The in-process services, with the host's own report objects.
class HostServices : public zelmora::DefaultHostServices {
 public:
  zelmora::ReportObjectPtr NewReport(const std::string& member) override {
    logs_.emplace_back();
    auto report = std::make_shared<NotingReport>(member, logs_.back());
    jobs_.push_back(report->job());
    return report;
  }
  const std::vector<std::shared_ptr<zelmora::PrintJob>>& PrintJobs() const override { return jobs_; }
  const std::vector<std::string>& Log(size_t job) const { return logs_[job]; }

 private:
  std::vector<std::shared_ptr<zelmora::PrintJob>> jobs_;
  std::deque<std::vector<std::string>> logs_;  // stays in place as it grows: reports keep a reference
};

zelmora::ObjectPtr ActiveInterface() {
  auto company = std::make_shared<zelmora::DispatchObject>();
  company->SetMember("IndLocalizzazione", Variant::Integer(0));
  auto global = std::make_shared<zelmora::DispatchObject>();
  global->SetMember("Gcls_DittaCorrente", Variant::Obj(company));
  auto root = std::make_shared<zelmora::DispatchObject>();
  root->SetMember("ClsGlobal", Variant::Obj(global));
  return root;
}

bool Check(const zelmora::CLSIN_INTRABO& intra, const char* what) {
  if (intra.Stato().ToInteger() == 0) return true;
  std::cerr << "print_jobs: " << what << ": Stato " << intra.Stato().ToInteger() << ": " << intra.Errore().Text()
            << "\n";
  return false;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: print_jobs DATABASE\n";
    return 2;
  }
  const std::string database = argv[1];
  auto services = std::make_shared<HostServices>();
  zelmora::CLSIN_INTRABO intra(services);
  auto input = std::make_shared<zelmora::CLSIN_INPUTINTRA>();
  input->StringaDiConnessione = Variant::String(
      database.find('=') == std::string::npos ? "Provider=SQLite;Data Source=" + database : database);
  input->Ditta = Variant::Long(1);
  input->Anno = Variant::Integer(2024);
  input->PeriodoStampa = Variant::Integer(3);
  input->TipoIntra = Variant::Integer(1);    // monthly
  input->TipoStampa = Variant::Integer(0);   // sales: INTRA-1
  input->AnnoRiferimentoIntra = zelmora::AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010;
  input->PartitaIva = Variant::String("01234567890");
  input->RagioneSociale = Variant::String("Demo S.r.l.");
  input->RagSocFisc = input->RagioneSociale;
  input->RhwndParent = Variant::Long(0);
  intra.SetCInput(input);
  intra.SetActiveInterface(ActiveInterface());

  // The print operations keep the status of the operation before them when
  // they succeed: it is reset here.
  intra.SetStato(Variant::Integer(0));
  intra.StampaFrontespizioModIntra();
  if (!Check(intra, "cover page")) return 1;
  input->PagineModLas = Variant::Integer(1);  // the form's first page
  intra.StampaIntraSuModuloLaser();
  if (!Check(intra, "laser form")) return 1;

  const auto& jobs = services->PrintJobs();
  std::cout << jobs.size() << " print jobs\n";
  for (size_t i = 0; i < jobs.size(); ++i) {
    const zelmora::PrintJob& job = *jobs[i];
    std::string title;
    std::string templateFile;
    for (const zelmora::PrintJob::Call& call : job.calls) {
      if (call.name == "Prepare" && call.args.size() >= 2) {
        title = call.args[0].Text();
        templateFile = call.args[1].Text();
      }
    }
    std::cout << "job " << i + 1 << " (" << job.member << "): " << templateFile << ", \"" << title << "\", "
              << (job.printed ? "printed" : "not printed") << ", " << services->Log(i).size() << " calls, "
              << (job.recordset ? std::to_string(job.recordset->RecordCount()) + " rows" : "no recordset") << "\n";
    // The parameter fields the object's BeforePrintReport handler set, those with a value.
    for (const auto& [name, value] : job.parameters) {
      if (!value.Text().empty()) std::cout << "  " << name << " = " << value.Text() << "\n";
    }
  }
  return jobs.size() == 2 && jobs[0]->printed && jobs[1]->printed ? 0 : 1;
}
