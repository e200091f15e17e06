#include "cli/json_writer.h"

#include <cstdio>

namespace zelmora::cli {

void AppendJsonString(std::string& out, std::string_view value) {
  out += '"';
  for (char c : value) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
          out += buffer;
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void JsonWriter::NewLine() {
  out_ += '\n';
  out_.append(hasElement_.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasElement_.empty()) {
    if (hasElement_.back()) out_ += ',';
    hasElement_.back() = true;
    NewLine();
  }
}

void JsonWriter::BeginObject() {
  BeforeValue();
  out_ += '{';
  hasElement_.push_back(false);
}

void JsonWriter::EndObject() {
  const bool any = hasElement_.back();
  hasElement_.pop_back();
  if (any) NewLine();
  out_ += '}';
}

void JsonWriter::BeginArray() {
  BeforeValue();
  out_ += '[';
  hasElement_.push_back(false);
}

void JsonWriter::EndArray() {
  const bool any = hasElement_.back();
  hasElement_.pop_back();
  if (any) NewLine();
  out_ += ']';
}

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendJsonString(out_, key);
  out_ += ": ";
  afterKey_ = true;
}

void JsonWriter::String(std::string_view value) {
  BeforeValue();
  AppendJsonString(out_, value);
}

void JsonWriter::Number(std::string_view text) {
  BeforeValue();
  out_ += text;
}

void JsonWriter::Boolean(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
}

void JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
}

}  // namespace zelmora::cli
