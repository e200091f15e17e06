// The one error trap of the component. Each procedure runs its body through
// Trap with the handler kind it is declared with; a failure ends the body
// and is reported in Stato and Errore as the kind says, and the procedure
// returns normally to its caller, which goes on.
#pragma once

#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "component/intra_context.h"
#include "platform/error.h"

namespace zelmora {

enum class HandlerKind {
  // Stato := error number; Errore := description & " in " & procedure.
  StatusAndText,
  // Stato := 99; Errore untouched.
  SilentStatus,
  // Stato := 99; Errore := "Errore VB numero " & number & "(" & description & ")".
  NumberedText,
  // Nothing reported (the value helpers' resume-next).
  None,
};

// The failure in flight as the runtime's number and description.
Error CurrentFailure(std::exception_ptr failure);

// Records a failure as the handler kind says.
void ReportFailure(IntraContext& context, HandlerKind kind, std::string_view procedure, const Error& failure);

// Runs `body`; returns true when it completed, false when a failure was
// trapped and reported.
template <class Body>
bool Trap(IntraContext& context, HandlerKind kind, std::string_view procedure, Body&& body) noexcept {
  try {
    body();
    return true;
  } catch (...) {
    try {
      ReportFailure(context, kind, procedure, CurrentFailure(std::current_exception()));
    } catch (...) {
      // Reporting must not fail the caller (only memory exhaustion can get here).
    }
    return false;
  }
}

// Runs each statement of a resume-next block: a failure in one does not stop the next.
template <class Statement>
void ResumeNext(Statement&& statement) noexcept {
  try {
    statement();
  } catch (...) {
  }
}

}  // namespace zelmora
