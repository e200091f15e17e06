#include "component/clsin_intrabo.h"

#include "component/property_access.h"
#include "component/trap.h"
#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora {

CLSIN_INTRABO::CLSIN_INTRABO(std::shared_ptr<HostServices> services) {
  // Construction creates the output object and nothing else; it goes on
  // past any failure.
  ResumeNext([&] { ctx_.services = services ? std::move(services) : std::make_shared<DefaultHostServices>(); });
  ResumeNext([&] { ctx_.COutput = std::make_shared<CLSIN_OUPUTINTRA>(); });
}

CLSIN_INTRABO::~CLSIN_INTRABO() {
  // Resume-next throughout, in this order: the connection, the two report
  // objects (recordset, connection and active interface dropped first),
  // the input and output objects, then the company objects.
  ResumeNext([&] { ctx_.Connessione.reset(); });
  for (ReportObjectPtr* report : {&ctx_.PclsReport, &ctx_.PclsRepLas}) {
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
  ResumeNext([&] { ctx_.CInput.reset(); });
  ResumeNext([&] { ctx_.COutput.reset(); });
  ResumeNext([&] {
    if (ctx_.ClsFactoryDitta) ctx_.ClsFactoryDitta->SetConnection(nullptr);
  });
  ResumeNext([&] { ctx_.ClsFactoryDitta.reset(); });
  ResumeNext([&] { ctx_.ClsDitta.reset(); });
}

void CLSIN_INTRABO::SetStato(const Variant& value) noexcept {
  Trap(ctx_, HandlerKind::StatusAndText, "Stato", [&] { ctx_.Stato = value.ToInteger(); });
}

int16_t CLSIN_INTRABO::ShowMessage(TipoMessaggio&, Variant&, Variant*, Variant*, Variant*) { return 0; }

Variant CLSIN_INTRABO::GetMember(std::string_view name) {
  if (EqualsIgnoreCase(name, "CInput")) return Variant::Obj(ctx_.CInput);
  if (EqualsIgnoreCase(name, "COutput")) return Variant::Obj(ctx_.COutput);
  if (EqualsIgnoreCase(name, "NumRecStpModIntra")) return ctx_.NumRecStpModIntra;
  if (EqualsIgnoreCase(name, "ActiveInterface")) return Variant::Obj(ctx_.ActiveInterface);
  if (EqualsIgnoreCase(name, "Errore")) return ctx_.Errore;
  if (EqualsIgnoreCase(name, "NumFileFloppy")) return Variant::Integer(ctx_.NumFileFloppy);
  if (EqualsIgnoreCase(name, "FolderFileIntraWeb")) return Variant::Obj(ctx_.FolderFileIntraWeb);
  if (EqualsIgnoreCase(name, "PathFileIntraWeb")) return Variant::String(ctx_.PathFileIntraWeb);
  if (EqualsIgnoreCase(name, "Stato")) return Stato();
  throw Error::MemberNotSupported();
}

void CLSIN_INTRABO::SetMember(std::string_view name, const Variant& value) {
  if (EqualsIgnoreCase(name, "CInput")) return property::Assign(ctx_.CInput, value);
  if (EqualsIgnoreCase(name, "COutput")) return property::Assign(ctx_.COutput, value);
  if (EqualsIgnoreCase(name, "NumRecStpModIntra")) return property::Assign(ctx_.NumRecStpModIntra, value);
  if (EqualsIgnoreCase(name, "ActiveInterface")) return property::Assign(ctx_.ActiveInterface, value);
  if (EqualsIgnoreCase(name, "Errore")) return property::Assign(ctx_.Errore, value);
  if (EqualsIgnoreCase(name, "NumFileFloppy")) return property::Assign(ctx_.NumFileFloppy, value);
  if (EqualsIgnoreCase(name, "FolderFileIntraWeb")) return property::Assign(ctx_.FolderFileIntraWeb, value);
  if (EqualsIgnoreCase(name, "PathFileIntraWeb")) return property::Assign(ctx_.PathFileIntraWeb, value);
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

}  // namespace zelmora
