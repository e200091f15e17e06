// Whole-text comparison for golden tests (SQL, records, files), and golden
// texts kept in data files beside the tests. A difference is shown as a
// line diff with CR and LF made visible. With ZELMORA_WRITE_GOLDEN=1 the
// golden files are written from what the code gives instead, for a person
// to review (git diff) before committing.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace zelmora::testing {

// Passes when the texts are equal; otherwise the failure shows the lines
// that differ ("-" expected, "+" actual) with a little context.
::testing::AssertionResult SameText(std::string_view expected, std::string_view actual);

// The golden file tests/<relative> holds exactly `actual` (its bytes as they are).
void ExpectGoldenFile(const std::string& relative, const std::string& actual);

// The section `name` of the golden file tests/<relative> holds `actual`.
// A sections file is a series of "==== name" lines, each followed by its
// text with the line ends written out: CR LF as a plain line end, a lone CR
// as "<CR>" and a lone LF as "<LF>" before the file's line end; one line
// end more closes the text.
void ExpectGoldenSection(const std::string& relative, const std::string& name, const std::string& actual);

// The text of the section `name` of a sections file, its line ends as they
// were written; a failure and "" when there is no such section.
std::string GoldenSection(const std::string& relative, const std::string& name);

}  // namespace zelmora::testing

#define EXPECT_SAME_TEXT(expected, actual) EXPECT_TRUE(::zelmora::testing::SameText((expected), (actual)))
