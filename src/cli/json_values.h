// Values between JSON and the component, as the host harness exchanges
// them. In: null is Null, true/false Boolean, an integer the smallest of
// Integer, Long and Decimal that holds it, a number with a fraction or an
// exponent a Decimal with exactly the digits written, a string a String,
// {"date": "YYYY-MM-DD"} a Date. Out: Empty is {"empty": true}, Null null,
// numbers JSON numbers (a Decimal with its exact digits), a Date
// {"date": "YYYY-MM-DD"}, a recordset {"recordset": {...}} with its visible
// rows, any other object {"object": kind}, Nothing null.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "cli/json_writer.h"
#include "platform/recordset.h"
#include "platform/variant.h"

namespace zelmora::cli {

using Json = nlohmann::ordered_json;

// A script that is not valid (bad JSON, unknown name, wrong value shape).
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses JSON keeping the written digits of every non-integer number (such
// a number becomes an object {kDecimalKey: "digits"}). Objects and lists
// nest at most kMaxScriptDepth deep (a script's deepest tree, the active
// interface, is a handful of levels); time is linear in the number of keys.
// Throws ScriptError.
Json ParseScriptJson(std::string_view text);
inline constexpr const char* kDecimalKey = "\x01" "decimal";
inline constexpr size_t kMaxScriptDepth = 100;

// A scalar JSON value as a Variant. Throws ScriptError for arrays and
// objects other than a date or a decimal. `where` names the value in messages.
Variant JsonToVariant(const Json& value, std::string_view where);

void WriteVariant(JsonWriter& out, const Variant& value);
void WriteRecordset(JsonWriter& out, const Recordset& recordset);

}  // namespace zelmora::cli
