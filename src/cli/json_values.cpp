#include "cli/json_values.h"

#include <cmath>
#include <cstdio>
#include <unordered_set>
#include <vector>

#include "platform/date.h"
#include "platform/decimal.h"

namespace zelmora::cli {
namespace {

// Builds an ordered_json from SAX events, turning each floating-point
// number into a marker object that keeps its text.
class KeepDigitsBuilder : public nlohmann::json_sax<Json> {
 public:
  bool null() override { return Put(Json(nullptr)); }
  bool boolean(bool value) override { return Put(Json(value)); }
  bool number_integer(number_integer_t value) override { return Put(Json(value)); }
  bool number_unsigned(number_unsigned_t value) override { return Put(Json(value)); }
  bool number_float(number_float_t, const string_t& text) override {
    Json marker = Json::object();
    marker[kDecimalKey] = text;
    return Put(std::move(marker));
  }
  bool string(string_t& value) override { return Put(Json(value)); }
  bool binary(binary_t&) override { return false; }
  bool start_object(std::size_t) override { return Open(Json::object()); }
  bool key(string_t& key) override {
    key_ = key;
    return true;
  }
  bool end_object() override {
    stack_.pop_back();
    return true;
  }
  bool start_array(std::size_t) override { return Open(Json::array()); }
  bool end_array() override {
    stack_.pop_back();
    return true;
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error) override {
    throw ScriptError("the script is not valid JSON (at byte " + std::to_string(position) + "): " + error.what());
  }
  Json result;

 private:
  // An open object or list, and the keys the object has so far.
  struct Open_ {
    Json* container;
    std::unordered_set<std::string> keys;
  };

  Json* Place(Json value) {
    if (stack_.empty()) {
      result = std::move(value);
      return &result;
    }
    Open_& open = stack_.back();
    Json& parent = *open.container;
    if (parent.is_array()) {
      parent.push_back(std::move(value));
      return &parent.back();
    }
    if (!open.keys.insert(key_).second) throw ScriptError("the key \"" + key_ + "\" appears twice in one object");
    // Appended as it is: the key is known to be new, and the object's own
    // insertion would look for it again among all the keys before it.
    auto& members = parent.get_ref<Json::object_t&>();
    members.Container::emplace_back(key_, std::move(value));
    return &members.Container::back().second;
  }
  bool Put(Json value) {
    Place(std::move(value));
    return true;
  }
  bool Open(Json container) {
    if (stack_.size() >= kMaxScriptDepth) {
      throw ScriptError("the script nests objects and lists more than " + std::to_string(kMaxScriptDepth) +
                        " deep");
    }
    Json* placed = Place(std::move(container));
    stack_.push_back({placed, {}});
    return true;
  }
  std::vector<Open_> stack_;
  std::string key_;
};

std::string DoubleText(double value) {
  // Shortest text that reads back as the same double.
  char buffer[40];
  for (int digits = 15; digits <= 17; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  return buffer;
}

}  // namespace

Json ParseScriptJson(std::string_view text) {
  KeepDigitsBuilder builder;
  const bool ok = Json::sax_parse(text.begin(), text.end(), &builder);
  if (!ok) throw ScriptError("the script is not valid JSON");
  return std::move(builder.result);
}

Variant JsonToVariant(const Json& value, std::string_view where) {
  const std::string name(where);
  switch (value.type()) {
    case Json::value_t::null:
      return Variant::Null();
    case Json::value_t::boolean:
      return Variant::Boolean(value.get<bool>());
    case Json::value_t::number_integer:
      return Variant::Whole(value.get<int64_t>());
    case Json::value_t::number_unsigned: {
      const uint64_t number = value.get<uint64_t>();
      if (number <= static_cast<uint64_t>(INT64_MAX)) return Variant::Whole(static_cast<int64_t>(number));
      auto decimal = Decimal::Parse(std::to_string(number));
      if (!decimal) throw ScriptError(name + ": the number is out of range");
      return Variant::Dec(*decimal);
    }
    case Json::value_t::string:
      return Variant::String(value.get<std::string>());
    case Json::value_t::object: {
      if (value.size() == 1 && value.contains(kDecimalKey)) {
        const std::string digits = value[kDecimalKey].get<std::string>();
        auto decimal = Decimal::Parse(digits);
        if (!decimal) throw ScriptError(name + ": the number " + digits + " is out of the Decimal range");
        return Variant::Dec(*decimal);
      }
      if (value.size() == 1 && value.contains("date")) {
        const Json& text = value["date"];
        std::optional<Date> date;
        if (text.is_string()) date = Date::ParseIso(text.get<std::string>());
        if (!date) throw ScriptError(name + ": a date is written {\"date\": \"YYYY-MM-DD\"}");
        return Variant::FromDate(*date);
      }
      throw ScriptError(name + ": an object is not a value here");
    }
    default:
      throw ScriptError(name + ": a list is not a value here");
  }
}

void WriteVariant(JsonWriter& out, const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
      out.BeginObject();
      out.Key("empty");
      out.Boolean(true);
      out.EndObject();
      return;
    case VarType::Null:
      out.Null();
      return;
    case VarType::Boolean:
      out.Boolean(value.AsBoolean());
      return;
    case VarType::Integer:
      out.Number(std::to_string(value.AsInteger()));
      return;
    case VarType::Long:
      out.Number(std::to_string(value.AsLong()));
      return;
    case VarType::Double: {
      const double number = value.AsDouble();
      if (std::isfinite(number)) {
        out.Number(DoubleText(number));
      } else {
        out.Null();
      }
      return;
    }
    case VarType::Decimal:
      out.Number(value.AsDecimal().ToString());
      return;
    case VarType::Date: {
      const Date& date = value.AsDate();
      std::string text = date.ToIso();
      if (date.HasTime()) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d", date.hour(), date.minute(), date.second());
        text += buffer;
      }
      out.BeginObject();
      out.Key("date");
      out.String(text);
      out.EndObject();
      return;
    }
    case VarType::String:
      out.String(value.AsString());
      return;
    case VarType::Object: {
      const ObjectPtr& object = value.AsObject();
      if (!object) {
        out.Null();
        return;
      }
      if (auto recordset = std::dynamic_pointer_cast<Recordset>(object)) {
        WriteRecordset(out, *recordset);
        return;
      }
      out.BeginObject();
      out.Key("object");
      out.String(object->Kind());
      out.EndObject();
      return;
    }
  }
}

void WriteRecordset(JsonWriter& out, const Recordset& recordset) {
  out.BeginObject();
  out.Key("recordset");
  out.BeginObject();
  out.Key("fields");
  out.BeginArray();
  for (size_t i = 0; i < recordset.FieldCount(); ++i) {
    const FieldInfo& field = recordset.Field(i);
    out.BeginObject();
    out.Key("name");
    out.String(field.name);
    out.Key("type");
    out.Number(std::to_string(static_cast<int32_t>(field.type)));
    out.Key("size");
    out.Number(std::to_string(field.definedSize));
    out.Key("precision");
    out.Number(std::to_string(field.precision));
    out.Key("scale");
    out.Number(std::to_string(field.numericScale));
    out.Key("attributes");
    out.Number(std::to_string(field.attributes));
    out.EndObject();
  }
  out.EndArray();
  out.Key("filter");
  out.String(recordset.Filter());
  out.Key("rows");
  out.BeginArray();
  if (recordset.IsOpen()) {
    for (const Row* row : recordset.VisibleRows()) {
      out.BeginArray();
      for (const Variant& cell : *row) WriteVariant(out, cell);
      out.EndArray();
    }
  }
  out.EndArray();
  out.EndObject();
  out.EndObject();
}

}  // namespace zelmora::cli
