#include "component/clsin_inputintra.h"

#include "component/property_access.h"
#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora {

CLSIN_INPUTINTRA::~CLSIN_INPUTINTRA() {
  // Releases the connection the host passed; a failure there is ignored.
  try {
    Connessione.reset();
  } catch (...) {
  }
}

Variant CLSIN_INPUTINTRA::GetMember(std::string_view name) {
#define ZELMORA_GET_PROPERTY(prop, type) \
  if (EqualsIgnoreCase(name, #prop)) return property::Read(prop);
  ZELMORA_CLSIN_INPUTINTRA_PROPERTIES(ZELMORA_GET_PROPERTY)
#undef ZELMORA_GET_PROPERTY
  throw Error::MemberNotSupported();
}

void CLSIN_INPUTINTRA::SetMember(std::string_view name, const Variant& value) {
#define ZELMORA_SET_PROPERTY(prop, type)   \
  if (EqualsIgnoreCase(name, #prop)) {     \
    property::Assign(prop, value);         \
    return;                                \
  }
  ZELMORA_CLSIN_INPUTINTRA_PROPERTIES(ZELMORA_SET_PROPERTY)
#undef ZELMORA_SET_PROPERTY
  throw Error::MemberNotSupported();
}

const std::vector<std::string_view>& CLSIN_INPUTINTRA::PropertyNames() {
#define ZELMORA_PROPERTY_NAME(prop, type) #prop,
  static const std::vector<std::string_view> names = {ZELMORA_CLSIN_INPUTINTRA_PROPERTIES(ZELMORA_PROPERTY_NAME)};
#undef ZELMORA_PROPERTY_NAME
  return names;
}

}  // namespace zelmora
