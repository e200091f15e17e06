#include "support/golden.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace zelmora::testing {
namespace {

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    lines.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

// The lines that differ, by a longest common subsequence, with two lines
// of context around each change.
std::string LineDiff(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  if (a.size() * b.size() > 4'000'000) return "(texts too long for a line diff)\n";
  std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1, 0));
  for (size_t i = a.size(); i-- > 0;) {
    for (size_t j = b.size(); j-- > 0;) {
      common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
    }
  }
  std::vector<std::pair<char, std::string>> script;
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && j < b.size() && a[i] == b[j]) {
      script.emplace_back(' ', a[i++]), ++j;
    } else if (j < b.size() && (i == a.size() || common[i][j + 1] >= common[i + 1][j])) {
      script.emplace_back('+', b[j++]);
    } else {
      script.emplace_back('-', a[i++]);
    }
  }
  std::vector<bool> shown(script.size(), false);
  for (size_t k = 0; k < script.size(); ++k) {
    if (script[k].first == ' ') continue;
    for (size_t m = k >= 2 ? k - 2 : 0; m < std::min(script.size(), k + 3); ++m) shown[m] = true;
  }
  std::string out;
  for (size_t k = 0; k < script.size(); ++k) {
    if (!shown[k]) {
      if (k == 0 || shown[k - 1]) out += "...\n";
      continue;
    }
    std::string line = script[k].second;
    if (line.empty() || line.back() != '\n') line += "<no line end>\n";
    out += script[k].first + line;
  }
  return out;
}

bool Writing() { return std::getenv("ZELMORA_WRITE_GOLDEN") != nullptr; }

std::string PathOf(const std::string& relative) { return ZELMORA_SOURCE_DIR "/tests/" + relative; }

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The text with its line ends written out, as a sections file holds it.
std::string Encode(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += '\n';
      ++i;
    } else if (text[i] == '\r') {
      out += "<CR>\n";
    } else if (text[i] == '\n') {
      out += "<LF>\n";
    } else {
      out += text[i];
    }
  }
  return out + "\n";
}

using Sections = std::vector<std::pair<std::string, std::string>>;

Sections ReadSections(const std::string& path) {
  Sections sections;
  for (const std::string& line : Lines(Read(path))) {
    if (line.starts_with("==== ")) {
      sections.emplace_back(line.substr(5, line.size() - 6), "");
    } else if (!sections.empty()) {
      sections.back().second += line;
    }
  }
  return sections;
}

// The text with CR and LF shown as <CR> and <LF> (LF also ends the line).
std::string Visible(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "<CR>";
    } else if (c == '\n') {
      out += "<LF>\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

::testing::AssertionResult SameText(std::string_view expected, std::string_view actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "texts differ (- expected, + actual):\n"
                                       << LineDiff(Lines(Visible(expected)), Lines(Visible(actual)));
}

void ExpectGoldenFile(const std::string& relative, const std::string& actual) {
  const std::string path = PathOf(relative);
  if (Writing()) {
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  const std::string expected = Read(path);
  if (expected != actual) {
    ADD_FAILURE() << relative << " differs (- golden, + actual; ZELMORA_WRITE_GOLDEN=1 rewrites it):\n"
                  << LineDiff(Lines(expected), Lines(actual));
  }
}

void ExpectGoldenSection(const std::string& relative, const std::string& name, const std::string& actual) {
  const std::string path = PathOf(relative);
  Sections sections = ReadSections(path);
  const std::string encoded = Encode(actual);
  auto found = sections.begin();
  while (found != sections.end() && found->first != name) ++found;
  if (Writing()) {
    if (found == sections.end()) {
      sections.emplace_back(name, encoded);
    } else {
      found->second = encoded;
    }
    std::ofstream out(path, std::ios::binary);
    for (const auto& [title, text] : sections) out << "==== " << title << "\n" << text;
    return;
  }
  if (found == sections.end()) {
    ADD_FAILURE() << relative << " has no section \"" << name << "\" (ZELMORA_WRITE_GOLDEN=1 adds it)";
  } else if (found->second != encoded) {
    ADD_FAILURE() << relative << ", section \"" << name
                  << "\", differs (- golden, + actual; ZELMORA_WRITE_GOLDEN=1 rewrites it):\n"
                  << LineDiff(Lines(found->second), Lines(encoded));
  }
}

std::string GoldenSection(const std::string& relative, const std::string& name) {
  for (const auto& [title, encoded] : ReadSections(PathOf(relative))) {
    if (title != name) continue;
    std::string text;
    const std::vector<std::string> lines = Lines(std::string_view(encoded).substr(0, encoded.size() - 1));
    for (std::string_view line : lines) {
      if (!line.ends_with('\n')) {
        text += line;  // the last line, without a line end
      } else if (line.ends_with("<CR>\n")) {
        text += std::string(line.substr(0, line.size() - 5)) + "\r";
      } else if (line.ends_with("<LF>\n")) {
        text += std::string(line.substr(0, line.size() - 5)) + "\n";
      } else {
        text += std::string(line.substr(0, line.size() - 1)) + "\r\n";
      }
    }
    return text;
  }
  ADD_FAILURE() << relative << " has no section \"" << name << "\"";
  return "";
}

}  // namespace zelmora::testing
