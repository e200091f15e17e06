// The records of one declaration in the layout in force from 2022, filled
// field by field from the tables of record_layout.h. Unlike the 2010
// records, which keep to what the host always wrote, these refuse what the
// format forbids: a line that cannot be written correctly becomes a problem
// naming it, and the declaration is then not written at all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "component/intra_context.h"
#include "platform/recordset.h"
#include "telematic/record_layout.h"

namespace zelmora::telematic {

// One call-off stock movement of section 5.
struct CallOffMovement {
  std::string id;  // its key, for the person who corrects it
  std::string state, vat;
  int operation = 0;
  std::string newState, newVat;
};

// A line of the declaration the writer refused.
struct RefusedLine {
  int tipoStampa = 0;   // 0 sales, 1 purchases
  size_t line = 0;      // 1-based among the declaration lines written from (0: a call-off stock movement)
  std::string what;     // the line: section, code, party
  std::string why;      // what is wrong with it
  std::string registrations;  // the registrations behind it, ", " apart
};

// The call-off stock movements of the current CInput's company and period.
std::vector<CallOffMovement> ReadCallOffStock(IntraContext& context);

// Writes the frontispiece and records of one declaration (`list` 'C' or
// 'A') onto `out`, counting them in `conta`; or, when a line cannot be
// written, leaves `out` and `conta` as they were and adds the problems to
// `refused` (registrations not yet filled). `rows` are the visible rows of
// `rs`, which in a monthly declaration hold the nature's column B of each
// line (ZL01_NATURAB: blank when none, '?' when its movements disagree).
void WriteDeclaration2022(IntraContext& context, const Recordset& rs, const std::vector<const Row*>& rows,
                          const std::vector<CallOffMovement>& callOff, char list,
                          std::string& out, int32_t& conta, std::vector<RefusedLine>& refused);

}  // namespace zelmora::telematic
