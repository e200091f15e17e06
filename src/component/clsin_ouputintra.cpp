#include "component/clsin_ouputintra.h"

#include <string>

#include "component/property_access.h"
#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora {

Variant CLSIN_OUPUTINTRA::GetMember(std::string_view name) {
#define ZELMORA_GET_PROPERTY(prop, type) \
  if (EqualsIgnoreCase(name, #prop)) return property::Read(prop);
  ZELMORA_CLSIN_OUPUTINTRA_PROPERTIES(ZELMORA_GET_PROPERTY)
#undef ZELMORA_GET_PROPERTY
  throw Error::MemberNotSupported();
}

void CLSIN_OUPUTINTRA::SetMember(std::string_view name, const Variant& value) {
#define ZELMORA_SET_PROPERTY(prop, type) \
  if (EqualsIgnoreCase(name, #prop)) {   \
    property::Assign(prop, value);       \
    return;                              \
  }
  ZELMORA_CLSIN_OUPUTINTRA_PROPERTIES(ZELMORA_SET_PROPERTY)
#undef ZELMORA_SET_PROPERTY
  throw Error::MemberNotSupported();
}

const std::vector<std::string_view>& CLSIN_OUPUTINTRA::PropertyNames() {
#define ZELMORA_PROPERTY_NAME(prop, type) #prop,
  static const std::vector<std::string_view> names = {ZELMORA_CLSIN_OUPUTINTRA_PROPERTIES(ZELMORA_PROPERTY_NAME)};
#undef ZELMORA_PROPERTY_NAME
  return names;
}

bool CLSIN_OUPUTINTRA::IsRecordsetProperty(std::string_view name) {
#define ZELMORA_IS_RECORDSET(prop, type) \
  if (EqualsIgnoreCase(name, #prop)) return std::string_view(#type) == "RECORDSET";
  ZELMORA_CLSIN_OUPUTINTRA_PROPERTIES(ZELMORA_IS_RECORDSET)
#undef ZELMORA_IS_RECORDSET
  return false;
}

}  // namespace zelmora
