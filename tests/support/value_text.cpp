#include "support/value_text.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "support/file_bytes.h"

namespace zelmora::testing {

Variant ParseValue(const std::string& t) {
  const std::string rest = t.empty() ? "" : t.substr(1);
  switch (t.empty() ? ' ' : t[0]) {
    case 'e': return Variant();
    case 'n': return Variant::Null();
    case 'o': return Variant::Obj(nullptr);
    case 'i': return Variant::Integer(static_cast<int16_t>(std::stoi(rest)));
    case 'l': return Variant::Long(static_cast<int32_t>(std::stol(rest)));
    case 'f': return Variant::Double(std::stod(rest));
    case 'd':
      if (std::optional<Decimal> d = Decimal::Parse(rest)) return Variant::Dec(*d);
      break;
    case 's':
      if (t.size() >= 3 && t[1] == '\'' && t.back() == '\'') return Variant::String(t.substr(2, t.size() - 3));
      break;
    case 'b': return Variant::Boolean(rest == "True");
    case 't': {
      int y = 0, m = 0, d = 0, hour = 0, minute = 0, second = 0;
      std::sscanf(rest.c_str(), "%d-%d-%dT%d:%d:%d", &y, &m, &d, &hour, &minute, &second);
      if (std::optional<Date> date = Date::FromYMDHMS(y, m, d, hour, minute, second)) return Variant::FromDate(*date);
      break;
    }
  }
  throw std::invalid_argument("not a value: " + t);
}

std::vector<InputCase> ReadInputCases(const std::string& relative) {
  std::vector<InputCase> cases;
  std::istringstream lines(TestFile(relative));
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    InputCase c;
    c.line = number;
    if (const size_t arrow = line.rfind(" => "); arrow != std::string::npos) {
      c.section = line.substr(arrow + 4);
      line.erase(arrow);
    }
    size_t bar = line.find(" | ");
    c.name = line.substr(0, bar);
    while (bar != std::string::npos) {
      const size_t next = line.find(" | ", bar + 3);
      const std::string assignment = line.substr(bar + 3, next == std::string::npos ? std::string::npos : next - bar - 3);
      const size_t equals = assignment.find('=');
      c.set.emplace_back(assignment.substr(0, equals), ParseValue(assignment.substr(equals + 1)));
      bar = next;
    }
    if (c.section.empty()) c.section = c.name;
    cases.push_back(std::move(c));
  }
  if (cases.empty()) throw std::runtime_error("no cases in " + relative);
  return cases;
}

}  // namespace zelmora::testing
