#include "component/value_helpers.h"

#include <string>

#include "platform/date_helper.h"
#include "platform/text_util.h"

namespace zelmora {

Variant SeNullo(const Variant& value, const Variant& fallback) {
  if (value.IsEmptyOrNull()) return fallback;
  try {
    if (value.ToString().empty()) return fallback;
  } catch (...) {
    // A value without text (an object) fails the test; the runtime then
    // goes on into the branch that returns the default.
    return fallback;
  }
  return value;
}

Variant FormattaData(const Variant& value, TipoOperazioneEnum mode) {
  DateHelper helper;
  std::string text;
  try {
    text = value.Text();
  } catch (...) {
  }
  helper.SetText(text);
  const bool valid = helper.ErrorCode() == 0;
  switch (mode) {
    case TipoOperazioneEnum::Recordset:
      return valid ? helper.ConvertedDate() : Variant::Null();
    case TipoOperazioneEnum::stringa: {
      if (!valid) return Variant::String("Null");
      std::string quoted(1, '\'');
      quoted += helper.ConvertedDateText();
      quoted += '\'';
      return Variant::String(std::move(quoted));
    }
  }
  return Variant();
}

std::string AllineaASinistra(const Variant& value, int16_t width) {
  if (width < 0) return {};
  const size_t size = static_cast<size_t>(width);
  std::string text;
  if (!value.IsEmptyOrNull()) {
    try {
      text = std::string(TrimBlanks(value.ToString()));
    } catch (...) {
      text.clear();
    }
  }
  return Utf8Left(text + std::string(size, ' '), size);
}

}  // namespace zelmora
