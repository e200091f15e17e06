// The state of one business object, handed explicitly to every procedure
// of the subsystems: the public members a host sees (CInput, COutput,
// Stato, Errore, ...), the private ones the operations share (the
// connection, the company objects, the report objects, the complete
// declaration statement) and the host services.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "component/clsin_inputintra.h"
#include "component/clsin_ouputintra.h"
#include "component/section_figures.h"
#include "platform/company.h"
#include "platform/connection.h"
#include "platform/error.h"
#include "platform/host_services.h"
#include "platform/recordset.h"
#include "platform/report.h"
#include "platform/text_file.h"
#include "platform/variant.h"

namespace zelmora {

struct IntraContext {
  std::shared_ptr<HostServices> services;

  // Public state.
  std::shared_ptr<CLSIN_INPUTINTRA> CInput;
  std::shared_ptr<CLSIN_OUPUTINTRA> COutput;
  Variant NumRecStpModIntra;
  ObjectPtr ActiveInterface;
  Variant Errore;
  int16_t NumFileFloppy = 0;
  std::shared_ptr<Folder> FolderFileIntraWeb;
  std::string PathFileIntraWeb;
  int16_t Stato = 0;

  // Private state.
  ConnectionPtr Connessione;                      // opened or adopted by CreaConnessione
  std::shared_ptr<CompanyFactory> ClsFactoryDitta;  // CreaClasseDittaBase
  std::shared_ptr<CompanyData> ClsDitta;
  ReportObjectPtr PclsReport;                     // movement journal
  ReportObjectPtr PclsRepLas;                     // laser forms
  std::string StringaSQLModuloCompleta;           // complete declaration statement
  // Set by the 2022 writer while it reads its lines: the declaration
  // statement then also gives each line's nature column B.
  bool DeclarationWithNatureColumnB = false;

  // Line counts and amount totals per section, shared by the submission
  // frontispiece and the form preparations (component/section_figures.h).
  DeclarationFigures figures;

  // The form preparations' working state: the declaration lines read, the
  // form lines and pages being built, the pages of the form (or of the
  // laser section printed), the document kinds of the form's goods and
  // correction lines, and the page count of each laser section (kept
  // after the run for the laser print).
  RecordsetPtr RstSorgenteModulo;
  RecordsetPtr RstRigheModulo;
  RecordsetPtr RstPagineModulo;
  int32_t NumPagineModulo = 0;
  Variant TipoDocAcqCess;
  Variant TipoDocRett;
  int32_t NumPagineBis = 0;
  int32_t NumPagineTer = 0;
  int32_t NumPagineQuater = 0;
  int32_t NumPagineQuinquies = 0;

  // The input and output objects; a missing one is error 91, as using an
  // object variable that holds nothing.
  CLSIN_INPUTINTRA& in() const {
    if (!CInput) throw Error::ObjectNotSet();
    return *CInput;
  }
  CLSIN_OUPUTINTRA& out() const {
    if (!COutput) throw Error::ObjectNotSet();
    return *COutput;
  }
  // The component's connection; error 91 when none was opened.
  Connection& connection() const {
    if (!Connessione) throw Error::ObjectNotSet();
    return *Connessione;
  }
};

}  // namespace zelmora
