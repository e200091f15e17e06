#include "component/trap.h"

#include <limits>

namespace zelmora {

Error CurrentFailure(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const Error& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return Error::OutOfMemory();
  } catch (const std::exception& error) {
    return Error(51, std::string("Internal error: ") + error.what());
  } catch (...) {
    return Error(51, "Internal error");
  }
}

void ReportFailure(IntraContext& context, HandlerKind kind, std::string_view procedure, const Error& failure) {
  switch (kind) {
    case HandlerKind::StatusAndText: {
      // Stato is 16-bit; the database layer already maps its numbers into
      // that range, anything else outside it is reported as 99.
      const int32_t number = failure.number();
      const bool fits = number >= std::numeric_limits<int16_t>::min() && number <= std::numeric_limits<int16_t>::max();
      context.Stato = fits ? static_cast<int16_t>(number) : 99;
      context.Errore = Variant::String(failure.description() + " in " + std::string(procedure));
      break;
    }
    case HandlerKind::SilentStatus:
      context.Stato = 99;
      break;
    case HandlerKind::NumberedText:
      context.Stato = 99;
      context.Errore = Variant::String("Errore VB numero " + std::to_string(failure.number()) + "(" +
                                       failure.description() + ")");
      break;
    case HandlerKind::None:
      break;
  }
}

}  // namespace zelmora
