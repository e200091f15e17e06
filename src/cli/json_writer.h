// A small streaming JSON writer with two-space indentation. The harness
// writes its own JSON so that a Decimal appears as a JSON number with its
// exact digits (12.49, never 12.490000000000000213).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelmora::cli {

class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(std::string_view key);
  void String(std::string_view value);
  // A number already written as JSON number text.
  void Number(std::string_view text);
  void Boolean(bool value);
  void Null();
  const std::string& text() const { return out_; }

 private:
  void BeforeValue();
  void NewLine();
  std::string out_;
  // Per open container: whether it has a first element yet.
  std::vector<bool> hasElement_;
  bool afterKey_ = false;
};

// Appends `value` as a JSON string literal (quotes and escapes included).
void AppendJsonString(std::string& out, std::string_view value);

}  // namespace zelmora::cli
