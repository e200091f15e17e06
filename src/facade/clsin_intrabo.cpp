// The business object: its construction and release, its properties, the
// late-bound access by name, and every operation, each handed to the
// subsystem function of the same name.
#include "facade/clsin_intrabo.h"

#include "component/property_access.h"
#include "component/trap.h"
#include "declaration/french_procedures.h"
#include "forms/form_procedures.h"
#include "movements/movement_procedures.h"
#include "nomenclature/nomenclature_procedures.h"
#include "platform/error.h"
#include "platform/text_util.h"
#include "telematic/french_file.h"
#include "telematic/telematic_procedures.h"

namespace zelmora {

CLSIN_INTRABO::CLSIN_INTRABO(std::shared_ptr<HostServices> services) : ctx_(std::make_unique<IntraContext>()) {
  // Construction creates the output object and nothing else; it goes on
  // past any failure.
  ResumeNext([&] { ctx_->services = services ? std::move(services) : std::make_shared<DefaultHostServices>(); });
  ResumeNext([&] { ctx_->COutput = std::make_shared<CLSIN_OUPUTINTRA>(); });
}

CLSIN_INTRABO::~CLSIN_INTRABO() {
  // Resume-next throughout, in this order: the connection, the two report
  // objects (recordset, connection and active interface dropped first),
  // the input and output objects, then the company objects.
  ResumeNext([&] { ctx_->Connessione.reset(); });
  for (ReportObjectPtr* report : {&ctx_->PclsReport, &ctx_->PclsRepLas}) {
    ResumeNext([&] {
      if (*report) {
        (*report)->SetRecordset(nullptr);
        (*report)->SetConnection(nullptr);
        (*report)->SetActiveInterface(nullptr);
        (*report)->Release();
        report->reset();
      }
    });
  }
  ResumeNext([&] { ctx_->CInput.reset(); });
  ResumeNext([&] { ctx_->COutput.reset(); });
  ResumeNext([&] {
    if (ctx_->ClsFactoryDitta) ctx_->ClsFactoryDitta->SetConnection(nullptr);
  });
  ResumeNext([&] { ctx_->ClsFactoryDitta.reset(); });
  ResumeNext([&] { ctx_->ClsDitta.reset(); });
}

const std::shared_ptr<CLSIN_INPUTINTRA>& CLSIN_INTRABO::CInput() const { return ctx_->CInput; }
void CLSIN_INTRABO::SetCInput(std::shared_ptr<CLSIN_INPUTINTRA> value) { ctx_->CInput = std::move(value); }
const std::shared_ptr<CLSIN_OUPUTINTRA>& CLSIN_INTRABO::COutput() const { return ctx_->COutput; }
void CLSIN_INTRABO::SetCOutput(std::shared_ptr<CLSIN_OUPUTINTRA> value) { ctx_->COutput = std::move(value); }
const Variant& CLSIN_INTRABO::NumRecStpModIntra() const { return ctx_->NumRecStpModIntra; }
void CLSIN_INTRABO::SetNumRecStpModIntra(const Variant& value) { ctx_->NumRecStpModIntra = value; }
const ObjectPtr& CLSIN_INTRABO::ActiveInterface() const { return ctx_->ActiveInterface; }
void CLSIN_INTRABO::SetActiveInterface(ObjectPtr value) { ctx_->ActiveInterface = std::move(value); }
const Variant& CLSIN_INTRABO::Errore() const { return ctx_->Errore; }
void CLSIN_INTRABO::SetErrore(const Variant& value) { ctx_->Errore = value; }
int16_t CLSIN_INTRABO::NumFileFloppy() const { return ctx_->NumFileFloppy; }
void CLSIN_INTRABO::SetNumFileFloppy(int16_t value) { ctx_->NumFileFloppy = value; }
const std::shared_ptr<Folder>& CLSIN_INTRABO::FolderFileIntraWeb() const { return ctx_->FolderFileIntraWeb; }
void CLSIN_INTRABO::SetFolderFileIntraWeb(std::shared_ptr<Folder> value) { ctx_->FolderFileIntraWeb = std::move(value); }
const std::string& CLSIN_INTRABO::PathFileIntraWeb() const { return ctx_->PathFileIntraWeb; }
void CLSIN_INTRABO::SetPathFileIntraWeb(std::string value) { ctx_->PathFileIntraWeb = std::move(value); }
Variant CLSIN_INTRABO::Stato() const { return Variant::Integer(ctx_->Stato); }

void CLSIN_INTRABO::SetStato(const Variant& value) noexcept {
  Trap(*ctx_, HandlerKind::StatusAndText, "Stato", [&] { ctx_->Stato = value.ToInteger(); });
}

int16_t CLSIN_INTRABO::ShowMessage(TipoMessaggio&, Variant&, Variant*, Variant*, Variant*) { return 0; }

Variant CLSIN_INTRABO::GetMember(std::string_view name) {
  if (EqualsIgnoreCase(name, "CInput")) return Variant::Obj(ctx_->CInput);
  if (EqualsIgnoreCase(name, "COutput")) return Variant::Obj(ctx_->COutput);
  if (EqualsIgnoreCase(name, "NumRecStpModIntra")) return ctx_->NumRecStpModIntra;
  if (EqualsIgnoreCase(name, "ActiveInterface")) return Variant::Obj(ctx_->ActiveInterface);
  if (EqualsIgnoreCase(name, "Errore")) return ctx_->Errore;
  if (EqualsIgnoreCase(name, "NumFileFloppy")) return Variant::Integer(ctx_->NumFileFloppy);
  if (EqualsIgnoreCase(name, "FolderFileIntraWeb")) return Variant::Obj(ctx_->FolderFileIntraWeb);
  if (EqualsIgnoreCase(name, "PathFileIntraWeb")) return Variant::String(ctx_->PathFileIntraWeb);
  if (EqualsIgnoreCase(name, "Stato")) return Stato();
  throw Error::MemberNotSupported();
}

void CLSIN_INTRABO::SetMember(std::string_view name, const Variant& value) {
  if (EqualsIgnoreCase(name, "CInput")) return property::Assign(ctx_->CInput, value);
  if (EqualsIgnoreCase(name, "COutput")) return property::Assign(ctx_->COutput, value);
  if (EqualsIgnoreCase(name, "NumRecStpModIntra")) return property::Assign(ctx_->NumRecStpModIntra, value);
  if (EqualsIgnoreCase(name, "ActiveInterface")) return property::Assign(ctx_->ActiveInterface, value);
  if (EqualsIgnoreCase(name, "Errore")) return property::Assign(ctx_->Errore, value);
  if (EqualsIgnoreCase(name, "NumFileFloppy")) return property::Assign(ctx_->NumFileFloppy, value);
  if (EqualsIgnoreCase(name, "FolderFileIntraWeb")) return property::Assign(ctx_->FolderFileIntraWeb, value);
  if (EqualsIgnoreCase(name, "PathFileIntraWeb")) return property::Assign(ctx_->PathFileIntraWeb, value);
  if (EqualsIgnoreCase(name, "Stato")) return SetStato(value);
  throw Error::MemberNotSupported();
}

Variant CLSIN_INTRABO::Invoke(std::string_view name, std::vector<Variant>& args) {
  for (const Operation& operation : Operations()) {
    if (!EqualsIgnoreCase(operation.name, name)) continue;
    const int count = static_cast<int>(args.size());
    if (count < operation.minArgs || count > operation.maxArgs) {
      throw Error(450, "Wrong number of arguments or invalid property assignment");
    }
    return operation.run(*this, args);
  }
  throw Error::MemberNotSupported();
}

// ---------------------------------------------------------------------------
// The operations: each hands the object's state to the function of the same
// name, in the file of the same name under its subsystem's folder
// (GeneraRecordsetIntra -> movements/genera_recordset_intra.cpp).

void CLSIN_INTRABO::GeneraRecordsetIntra() { movements::GeneraRecordsetIntra(*ctx_); }
void CLSIN_INTRABO::StampaIntra() { movements::StampaIntra(*ctx_); }
bool CLSIN_INTRABO::CancellaMovimentiIntra() { return movements::CancellaMovimentiIntra(*ctx_); }
void CLSIN_INTRABO::GeneraRecordsetIntraPerInterrogazione() { movements::GeneraRecordsetIntraPerInterrogazione(*ctx_); }

RecordsetPtr CLSIN_INTRABO::GeneraRstDatiLocalizzazioneFrancese() {
  return declaration::GeneraRstDatiLocalizzazioneFrancese(*ctx_);
}

void CLSIN_INTRABO::PreparaRecodsetPerStampaSuModulo() { forms::PreparaRecodsetPerStampaSuModulo(*ctx_); }
void CLSIN_INTRABO::StampaIntraSuModulo() { forms::StampaIntraSuModulo(*ctx_); }
void CLSIN_INTRABO::PreparaRecodsetPerStampaSuModuloLaser() { forms::PreparaRecodsetPerStampaSuModuloLaser(*ctx_); }

void CLSIN_INTRABO::StampaIntraSuModuloLaser() { forms::StampaIntraSuModuloLaser(*ctx_); }
void CLSIN_INTRABO::StampaFrontespizioModIntra() { forms::StampaFrontespizioModIntra(*ctx_); }

RecordsetPtr CLSIN_INTRABO::GeneraRstErroriNomenclatura() { return nomenclature::GeneraRstErroriNomenclatura(*ctx_); }

RecordsetPtr CLSIN_INTRABO::GeneraRstDatiModuloStampe() { return nomenclature::GeneraRstDatiModuloStampe(*ctx_); }

RecordsetPtr CLSIN_INTRABO::GeneraRstErroriNomenclaturaInvioTelematico() {
  return nomenclature::GeneraRstErroriNomenclaturaInvioTelematico(*ctx_);
}

RecordsetPtr CLSIN_INTRABO::GeneraRstDatiNomenclaturaInvioTelematico() {
  return nomenclature::GeneraRstDatiNomenclaturaInvioTelematico(*ctx_);
}

void CLSIN_INTRABO::PreparaTracciatoPerDischetto(const Variant& PathFile) {
  telematic::PreparaTracciatoPerDischetto(*ctx_, PathFile);
}

void CLSIN_INTRABO::PreparaTracciatoPerDischetto2010(const Variant& PathFile) {
  telematic::PreparaTracciatoPerDischetto2010(*ctx_, PathFile);
}

void CLSIN_INTRABO::PreparaTracciatoPerInvioTelematico() { telematic::PreparaTracciatoPerInvioTelematico(*ctx_); }

void CLSIN_INTRABO::PreparaTracciatoPerInvioTelematico2022() {
  telematic::PreparaTracciatoPerInvioTelematico2022(*ctx_);
}

RecordsetPtr CLSIN_INTRABO::CreaRecordsetPerTracciato() { return telematic::CreaRecordsetPerTracciato(*ctx_); }

void CLSIN_INTRABO::PreparaTracciatoPerLocalizzazioneFrancese(const Variant& PathFile) {
  telematic::PreparaTracciatoPerLocalizzazioneFrancese(*ctx_, PathFile);
}

}  // namespace zelmora
