// The business object hosts create and drive: they set CInput, call one
// public operation, then read Stato, Errore and what the operation left in
// COutput. The class is a thin facade: each operation hands the work to its
// subsystem with the object's state, which the object keeps out of sight
// (IntraContext, internal to the library). No operation throws to its
// caller; every failure ends as Stato and Errore.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "zelmora/clsin_inputintra.h"
#include "zelmora/clsin_ouputintra.h"
#include "zelmora/enums.h"
#include "zelmora/files.h"
#include "zelmora/host_services.h"
#include "zelmora/object.h"
#include "zelmora/variant.h"

namespace zelmora {

struct IntraContext;

// The component's business object: one per host session, driven from one
// thread; it owns its output object, its database connection (or adopts the
// one given in CInput.Connessione) and the report objects of its print jobs.
class CLSIN_INTRABO : public Object {
 public:
  // `services` are the host platform's; nullptr gives the in-process ones.
  explicit CLSIN_INTRABO(std::shared_ptr<HostServices> services = nullptr);
  ~CLSIN_INTRABO() override;
  CLSIN_INTRABO(const CLSIN_INTRABO&) = delete;
  CLSIN_INTRABO& operator=(const CLSIN_INTRABO&) = delete;
  std::string_view Kind() const override { return "CLSIN_INTRABO"; }

  // --- public state -------------------------------------------------------
  const std::shared_ptr<CLSIN_INPUTINTRA>& CInput() const;
  void SetCInput(std::shared_ptr<CLSIN_INPUTINTRA> value);
  const std::shared_ptr<CLSIN_OUPUTINTRA>& COutput() const;
  void SetCOutput(std::shared_ptr<CLSIN_OUPUTINTRA> value);
  const Variant& NumRecStpModIntra() const;
  void SetNumRecStpModIntra(const Variant& value);
  // The host's active interface object, read by late-bound member names
  // (ClsGlobal.Gcls_DittaCorrente.IndLocalizzazione, ...).
  const ObjectPtr& ActiveInterface() const;
  void SetActiveInterface(ObjectPtr value);
  const Variant& Errore() const;
  void SetErrore(const Variant& value);
  int16_t NumFileFloppy() const;
  void SetNumFileFloppy(int16_t value);
  const std::shared_ptr<Folder>& FolderFileIntraWeb() const;
  void SetFolderFileIntraWeb(std::shared_ptr<Folder> value);
  const std::string& PathFileIntraWeb() const;
  void SetPathFileIntraWeb(std::string value);

  // Stato: an integer Variant on get; let converts what it is given to a
  // 16-bit integer (a value that does not convert is trapped and reported
  // like any other failure).
  Variant Stato() const;
  void SetStato(const Variant& value) noexcept;

  // --- public operations --------------------------------------------------
  // Exists in the interface and does nothing: always 0.
  int16_t ShowMessage(TipoMessaggio& tipo, Variant& codiceErr, Variant* codiceDett = nullptr,
                      Variant* valPar1 = nullptr, Variant* valPar2 = nullptr);
  // The movement list, one row per Intrastat line, into COutput.RecordsetIntra.
  void GeneraRecordsetIntra();
  // Prints the movement journal.
  void StampaIntra();
  // Deletes the Intrastat document of registration CInput.NumeroRegistrazione;
  // true when both deletions ran.
  bool CancellaMovimentiIntra();
  // The browsing list, one row per document, into COutput.RecordsetIntraInterrogazione.
  void GeneraRecordsetIntraPerInterrogazione();
  // The submission file before 2010, into FolderFileIntraWeb/PathFileIntraWeb
  // (`PathFile` is not used).
  void PreparaTracciatoPerDischetto(const Variant& PathFile);
  // One declaration in the 2010 layout, into the same file.
  void PreparaTracciatoPerDischetto2010(const Variant& PathFile);
  // The telematic submission text and file name, into COutput.
  void PreparaTracciatoPerInvioTelematico();
  // The same in the layout in force from January 2022; nothing is written
  // when a line cannot be (Stato and Errore say why). The declaration
  // statement it leaves in COutput.StringaSQLperStampaIntra is the one it
  // read its lines with: the usual one with each line's nature column B
  // (ZL01_NATURAB) joined.
  void PreparaTracciatoPerInvioTelematico2022();
  // The declaration lines the submission records are written from.
  RecordsetPtr CreaRecordsetPerTracciato();
  // The French declaration lines of the list or lists, as an editable
  // recordset over a temporary table; nullptr on failure.
  RecordsetPtr GeneraRstDatiLocalizzazioneFrancese();
  // The French declaration file, into FolderFileIntraWeb/PathFileIntraWeb
  // (`PathFile` is not used).
  void PreparaTracciatoPerLocalizzazioneFrancese(const Variant& PathFile);
  // The declaration lines whose goods or services code the code table does
  // not hold for their reference year; nullptr on failure.
  RecordsetPtr GeneraRstErroriNomenclatura();
  // The declaration lines for the host's form printing, or only those with
  // a code not valid for their reference year; nullptr on failure.
  RecordsetPtr GeneraRstDatiModuloStampe();
  // The same two for the sales list, the purchases list or both.
  RecordsetPtr GeneraRstErroriNomenclaturaInvioTelematico();
  RecordsetPtr GeneraRstDatiNomenclaturaInvioTelematico();
  // The pre-printed form of the declaration lines of
  // COutput.StringaSQLperStampaIntra, into COutput's form recordsets.
  void PreparaRecodsetPerStampaSuModulo();
  // Does nothing: the host prints the pre-printed form itself.
  void StampaIntraSuModulo();
  // The laser form's lines of every section and the pages of the section
  // CInput.PagineModLas names, into COutput's form recordsets.
  void PreparaRecodsetPerStampaSuModuloLaser();
  // Prints the laser form's section CInput.PagineModLas.
  void StampaIntraSuModuloLaser();
  // Prints the cover page of the laser form.
  void StampaFrontespizioModIntra();

  // --- late binding -------------------------------------------------------
  // Public properties by name (CInput, COutput, Stato, Errore, ...).
  Variant GetMember(std::string_view name) override;
  void SetMember(std::string_view name, const Variant& value) override;

  struct Operation {  // a public operation as a late-binding host calls it
    std::string_view name;
    int minArgs;
    int maxArgs;
    std::function<Variant(CLSIN_INTRABO&, std::vector<Variant>&)> run;
  };
  // The public operations a host can call by name, in interface order.
  static const std::vector<Operation>& Operations();
  // Calls a public operation by name; arguments are passed by reference.
  // An unknown name is error 438, a wrong number of arguments error 450
  // (these are the caller's mistakes, raised before the operation runs).
  Variant Invoke(std::string_view name, std::vector<Variant>& args);

  // The object's state, for the library's own procedures and its tests
  // (the type is not part of the public headers).
  IntraContext& context() { return *ctx_; }
  const IntraContext& context() const { return *ctx_; }

 private:
  std::unique_ptr<IntraContext> ctx_;
};

}  // namespace zelmora
