#include "platform/dispatch_object.h"

#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora {

namespace {

// The name as the index keys it: ASCII letters in lower case, as
// EqualsIgnoreCase compares them.
std::string IndexKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

}  // namespace

Variant DispatchObject::GetMember(std::string_view name) {
  const auto found = index_.find(IndexKey(name));
  if (found == index_.end()) throw Error::MemberNotSupported();
  return members_[found->second].second;
}

void DispatchObject::SetMember(std::string_view name, const Variant& value) {
  const auto [place, added] = index_.try_emplace(IndexKey(name), members_.size());
  if (!added) {
    members_[place->second].second = value;
    return;
  }
  members_.emplace_back(std::string(name), value);
}

Variant ReadMemberPath(const Variant& root, std::string_view path) {
  Variant current = root;
  size_t start = 0;
  while (true) {
    size_t dot = path.find('.', start);
    std::string_view name = path.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
    if (name.empty()) throw Error::InvalidProcedureCall();
    // Late binding on a value that is not an object at all is "Object
    // required"; on an object reference that holds nothing it is error 91.
    if (!current.IsObject()) throw Error(424, "Object required");
    if (current.IsNothing()) throw Error::ObjectNotSet();
    current = current.AsObject()->GetMember(name);
    if (dot == std::string_view::npos) return current;
    start = dot + 1;
  }
}

}  // namespace zelmora
