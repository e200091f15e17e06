// How a property of a parameter object reads and takes a value, by the
// property's declared type, exactly as a host's property get, let and set
// would: a Boolean property converts what it is given with the Boolean
// conversion, a 16-bit one with the integer conversion (and its errors 13, 6
// and 94), a Variant one keeps the value as it is, an object property takes
// only an object of its class (or Nothing).
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "platform/connection.h"
#include "platform/error.h"
#include "platform/recordset.h"
#include "platform/variant.h"

namespace zelmora::property {

inline Variant Read(const Variant& value) { return value; }
inline Variant Read(bool value) { return Variant::Boolean(value); }
inline Variant Read(const std::string& value) { return Variant::String(value); }
inline Variant Read(int16_t value) { return Variant::Integer(value); }
template <class E>
  requires std::is_enum_v<E>
Variant Read(E value) {
  return Variant::Long(static_cast<int32_t>(value));
}
template <class T>
Variant Read(const std::shared_ptr<T>& value) {
  return Variant::Obj(value);
}

inline void Assign(Variant& target, const Variant& value) { target = value; }
inline void Assign(bool& target, const Variant& value) { target = value.ToBoolean(); }
inline void Assign(std::string& target, const Variant& value) { target = value.ToString(); }
inline void Assign(int16_t& target, const Variant& value) { target = value.ToInteger(); }
template <class E>
  requires std::is_enum_v<E>
void Assign(E& target, const Variant& value) {
  target = static_cast<E>(value.ToLong());
}
// Object properties: "Set property = object". A value that is not an object
// is error 424; an object of another class is a type mismatch.
template <class T>
void Assign(std::shared_ptr<T>& target, const Variant& value) {
  if (!value.IsObject()) throw Error(424, "Object required");
  if (value.IsNothing()) {
    target = nullptr;
    return;
  }
  auto typed = value.ObjectAs<T>();
  if (!typed) throw Error::TypeMismatch();
  target = std::move(typed);
}

}  // namespace zelmora::property
