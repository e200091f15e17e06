// The three value helpers every procedure uses to normalise the loosely
// typed values of the input object and of recordset fields before they are
// compared or written into SQL text and fixed-width records. They never
// fail and never touch Stato or Errore: a failing step is skipped and the
// next one runs.
#pragma once

#include <cstdint>

#include "component/enums.h"
#include "platform/variant.h"

namespace zelmora {

// The value, or `fallback` when the value is Empty, Null or converts to "".
// A blank is not empty; a zero is not empty.
Variant SeNullo(const Variant& value, const Variant& fallback);

// A date for a recordset (mode Recordset: a Date, or Null when the value is
// not a date) or for SQL text (mode stringa: "'YYYYMMDD'", or "Null").
// Any other mode gives Empty.
Variant FormattaData(const Variant& value, TipoOperazioneEnum mode);

// The value's text without surrounding blanks, padded with blanks or cut
// on the right to exactly `width` characters; `width` blanks for Empty or Null.
std::string AllineaASinistra(const Variant& value, int16_t width);

}  // namespace zelmora
