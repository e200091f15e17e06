// Runtime errors as the component's callers know them: a number and a
// description. Inside the library a failure travels as a thrown Error; the
// business object's error trap turns it into Stato and Errore,
// so nothing escapes to a host.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace zelmora {

// A runtime error: a number and its description.
class Error : public std::exception {
 public:
  Error(int32_t number, std::string description)
      : number_(number), description_(std::move(description)) {}

  int32_t number() const noexcept { return number_; }
  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

  // The runtime errors the component can meet, with the runtime's own texts.
  static Error InvalidProcedureCall() { return {5, "Invalid procedure call or argument"}; }
  static Error Overflow() { return {6, "Overflow"}; }
  static Error OutOfMemory() { return {7, "Out of memory"}; }
  static Error DivisionByZero() { return {11, "Division by zero"}; }
  static Error TypeMismatch() { return {13, "Type mismatch"}; }
  static Error ObjectNotSet() { return {91, "Object variable or With block variable not set"}; }
  static Error InvalidUseOfNull() { return {94, "Invalid use of Null"}; }
  static Error MemberNotSupported() { return {438, "Object doesn't support this property or method"}; }
  // Database client errors.
  static Error ItemNotFound() {
    return {3265, "Item cannot be found in the collection corresponding to the requested name or ordinal."};
  }
  static Error NoCurrentRecord() {
    return {3021, "Either BOF or EOF is True, or the current record has been deleted."};
  }
  static Error ObjectClosed() { return {3704, "Operation is not allowed when the object is closed."}; }
  static Error BadArguments() {
    return {3001, "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another."};
  }

 private:
  int32_t number_;
  std::string description_;
};

}  // namespace zelmora
