// The telematic submission: the record source, the field encoders, the
// detail records of the 2010 and legacy layouts, the header record and the
// drivers that assemble a submission text or write a submission file.
//
// Every procedure traps its own failures (component/trap.h): the encoders
// never fail, the others report in Stato and Errore with their own name and
// return normally, leaving what they had already produced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "component/intra_context.h"
#include "platform/recordset.h"
#include "platform/variant.h"
#include "telematic/records_2022.h"

namespace zelmora::telematic {

// --- field encoders ---------------------------------------------------------

// Whole units of an amount: the fractional part is dropped when it is at
// most 0.49 and rounds one unit away from zero above it; any non-zero
// amount below one unit becomes 1 or -1. Exact decimal arithmetic (12.49
// gives 12, 12.491 gives 13). Null gives Empty; a failure gives 0.
Variant ArrotondaImporto(IntraContext& context, const Variant& importo);

// The one-character nature-of-transaction code: 0 and 10 a blank, 1 to 9
// the digit, 21 to 29 the letters A to I; Empty for anything else and for
// Null. A failure gives a blank and Stato 99.
Variant CodificaNaturaTransazione(IntraContext& context, const Variant& natura);

// A single digit 0 to 9 as its character; Empty otherwise.
Variant CodificaCifraSingola(IntraContext& context, const Variant& cifra);

// The letter that marks the last digit of a negative amount: "0" to "9"
// give "p" to "y"; Empty for anything else.
Variant CodificaCifraNegativa(IntraContext& context, const Variant& cifra);

// --- records ----------------------------------------------------------------

// The frontispiece and detail records of one declaration in the 2010 layout.
// `conta` grows by one per record written. Without a destination the
// records are appended to COutput.StringaTracciatoInvioTelematico; with one
// (its value is not used) each record is written as a line of the file
// opened from FolderFileIntraWeb and PathFileIntraWeb.
void PreparaStringaTracciato2010(IntraContext& context, Recordset& rs, int32_t& conta,
                                 const Variant* destinazione = nullptr);

// The same in the layout in force before 2010 (goods only); every record
// goes to the file named by FolderFileIntraWeb and PathFileIntraWeb.
void PreparaStringaTracciato(IntraContext& context, Recordset& rs, int32_t& conta,
                             const Variant* destinazione = nullptr);

// Puts the header record in front of a non-empty submission text; `conta`
// grows by one for the header, which carries the total.
void PreparaStringaTracciatoRecordDiTesta(IntraContext& context, int32_t& conta);

// --- record source ------------------------------------------------------------

// Runs COutput.StringaSQLperStampaIntra and returns its recordset, or, when
// service lines are merged (AccorpaArt23 without SoloObbligatori), an
// in-memory copy whose service lines carry the invoice data that all their
// movements share. nullptr after a trapped failure.
RecordsetPtr CreaRecordsetPerTracciato(IntraContext& context);

// Compares the movements behind the current line of `rs` with the
// carry-over properties RaggIn02* of CInput and clears those that differ;
// false when no movement matches the line.
bool ComponiCampiObbligatori(IntraContext& context, Recordset& rs);

// On the current line of `rs`, a services line, when service lines are
// merged (AccorpaArt23 without SoloObbligatori): the invoice data that all
// the line's movements share, as ComponiCampiObbligatori found them.
void CompleteMergedServiceLine(IntraContext& context, Recordset& rs);

// --- drivers ------------------------------------------------------------------

// What a telematic run selected, per list, for callers that report it.
struct SubmissionList {
  int tipoStampa = 0;       // 0 sales, 1 purchases
  Variant tipoIntra;        // the periodicity the list was built with
  int32_t selected = 0;     // lines of the record source
  int32_t written = 0;      // lines left after the zero filter
  bool produced = false;    // records appended for this list
  int32_t callOff = 0;      // call-off stock movements of the period (2022 layout)
  std::string leftOut;      // why the list was not filed at all, when it was not
};
struct SubmissionReport {
  std::vector<SubmissionList> lists;
  // The lines the 2022 writer could not write (then nothing was written).
  std::vector<RefusedLine> refused;
};

// The telematic submission text in COutput (file name, header, then each
// declaration's frontispiece and details). `report`, when given, receives
// the counts per list.
void PreparaTracciatoPerInvioTelematico(IntraContext& context, SubmissionReport* report = nullptr);

// The same submission in the layout in force from January 2022 (sections 1
// to 5; purchases only with a monthly periodicity, a quarterly purchases
// list being left out and said so in `report`). A line that cannot be
// written correctly stops the run: Stato and Errore say how many and the
// first, COutput's text stays as it was, and `report` lists each with the
// registrations behind it.
void PreparaTracciatoPerInvioTelematico2022(IntraContext& context, SubmissionReport* report = nullptr);

// One declaration in the 2010 layout, written to the file named by
// FolderFileIntraWeb and PathFileIntraWeb; `pathFile` is not used.
void PreparaTracciatoPerDischetto2010(IntraContext& context, const Variant& pathFile);

// One declaration in the layout before 2010, written the same way.
void PreparaTracciatoPerDischetto(IntraContext& context, const Variant& pathFile,
                                  SubmissionReport* report = nullptr);

}  // namespace zelmora::telematic
