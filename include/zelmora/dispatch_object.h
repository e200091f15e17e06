// A late-bound object tree: members by name (case-insensitive), each a
// Variant that may hold another object. The host's active interface is one
// (a host builds it; the zelmora host command from JSON); ReadMemberPath reads
// "ClsGlobal.Gcls_DittaCorrente.IndLocalizzazione" the way late binding
// does: Nothing on the way is error 91, an unknown member error 438.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "zelmora/object.h"
#include "zelmora/variant.h"

namespace zelmora {

// An object whose members are set and read by name; a host builds its
// active interface object from these.
class DispatchObject : public Object {
 public:
  std::string_view Kind() const override { return "Object"; }
  Variant GetMember(std::string_view name) override;
  void SetMember(std::string_view name, const Variant& value) override;
  const std::vector<std::pair<std::string, Variant>>& members() const { return members_; }

 private:
  std::vector<std::pair<std::string, Variant>> members_;  // in the order first set
  // Each member's place in members_, by its name in lower case: a tree of
  // many members is built and read in time linear in their number.
  std::unordered_map<std::string, size_t> index_;
};

// Reads a dotted member path from `root` (an object Variant).
Variant ReadMemberPath(const Variant& root, std::string_view path);

}  // namespace zelmora
