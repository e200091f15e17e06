#include "platform/object.h"

#include "platform/error.h"
#include "platform/variant.h"

namespace zelmora {

Variant Object::GetMember(std::string_view) { throw Error::MemberNotSupported(); }

void Object::SetMember(std::string_view, const Variant&) { throw Error::MemberNotSupported(); }

}  // namespace zelmora
