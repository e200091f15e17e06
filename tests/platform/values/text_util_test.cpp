#include "platform/text_util.h"

#include "platform/large_buffer.h"

#include <gtest/gtest.h>

#include <string>

namespace zelmora {
namespace {

std::string Mapped(std::string_view text, char32_t (*map)(char32_t)) {
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    AppendUtf8(out, map(c));
    at += length;
  }
  return out;
}

TEST(TextUtil, CaseMappingsCoverTheLettersOfNamesAndAddresses) {
  // Latin-1 (÷ and × are not letters, ß has no one-letter capital), the
  // Latin Extended-A pairs with even and with odd capitals, Greek with
  // tonos and final sigma, Cyrillic with the Ѐ-Џ block.
  EXPECT_EQ(Mapped("àéîõüçñÿ÷×ß ąćęłńśźżőű ıſµ άέήίόύώαςω ёђабвя", UpperCodePoint),
            "ÀÉÎÕÜÇÑŸ÷×ß ĄĆĘŁŃŚŹŻŐŰ ISΜ ΆΈΉΊΌΎΏΑΣΩ ЁЂАБВЯ");
  EXPECT_EQ(Mapped("ÀÉÎÕÜÇÑŸ÷× ĄĆĘŁŃŚŹŻŐŰ İ ΆΈΉΊΌΎΏΑΣΩΪ ЁЂАБВЯ", LowerCodePoint),
            "àéîõüçñÿ÷× ąćęłńśźżőű i άέήίόύώασωϊ ёђабвя");
  // Folding joins the letters that upper-case to the same capital.
  EXPECT_EQ(Mapped("IıİiSſsΜµ", FoldCodePoint), "iiiisssμμ");
  EXPECT_NE(FoldCodePoint(U'é'), FoldCodePoint(U'e'));  // accents count
}

TEST(TextUtil, WidthsCountCharacters) {
  EXPECT_EQ(Utf8Length("Müller"), 6u);
  EXPECT_EQ(Utf8Left("Müller", 2), "Mü");
  EXPECT_EQ(Utf8Right("Città", 2), "tà");
  EXPECT_EQ(Utf8Mid("Città di Castello", 4, 4), "tà d");
  EXPECT_EQ(Utf8Mid("Città", 5), "à");
  EXPECT_EQ(TrimBlanks("  a b \t "), "a b \t");
}

TEST(TextUtil, LargeTextKeepsItsTextAndGrowsOnce) {
  // Large enough for the huge-page advice; the text already held survives
  // the move to the new buffer and appending fills the room without moving.
  std::string text = "EUROX";
  ReserveLargeText(text, 24u << 20);
  ASSERT_GE(text.capacity(), (24u << 20) + 5);
  const char* buffer = text.data();
  while (text.size() + 100 <= (24u << 20)) text.append(98, 'x').append("\r\n");
  EXPECT_EQ(text.data(), buffer);
  EXPECT_EQ(text.substr(0, 8), "EUROXxxx");
  ReserveLargeText(text, 0);  // no room asked: the buffer stays
  EXPECT_EQ(text.data(), buffer);
}

}  // namespace
}  // namespace zelmora
