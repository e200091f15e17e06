// Base of every object a Variant can hold by reference: recordsets,
// connections, parameter objects, host objects. Members can also be read and
// written by name (late binding), as a host's dispatch interface allows.
#pragma once

#include <memory>
#include <string_view>

namespace zelmora {

class Variant;

// The base of every object the component and its host exchange by reference.
class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;
  // The class name a host would see ("Recordset", "CLSIN_INPUTINTRA", ...).
  virtual std::string_view Kind() const = 0;
  // Late-bound access; names compare case-insensitively. The defaults fail
  // with error 438, as an object without that member does.
  virtual Variant GetMember(std::string_view name);
  virtual void SetMember(std::string_view name, const Variant& value);
};

using ObjectPtr = std::shared_ptr<Object>;

}  // namespace zelmora
