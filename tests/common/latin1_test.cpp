// Latin-1 texts: the conversion of the system's UTF-8 messages, the way back
// for the console, and fixed-length texts.
#include "common/latin1.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct ConversionRow {
  const char* name;
  std::string utf8;
  std::string latin1;
};

const std::vector<ConversionRow> kRows = {
    {"ascii_unchanged", "Error en la lectura", "Error en la lectura"},
    {"accented_vowel", "Simulación", "Simulaci\xF3n"},
    {"several_accents", "Oxígeno Disuelto, Nitrógeno, Conducción", "Ox\xEDgeno Disuelto, Nitr\xF3geno, Conducci\xF3n"},
    {"enye_and_capitals", "AÑO año Á", "A\xD1O a\xF1o \xC1"},
    {"degree_and_micro", "°C µg",
     "\xB0"
     "C \xB5g"},
    {"outside_latin1_three_bytes", "5 €", "5 ?"},
    {"outside_latin1_four_bytes",
     "a\xF0\x9F\x98\x80"
     "b",
     "a?b"},
    {"cut_sequence_at_end", "ab\xC3", "ab?"},
    {"lead_without_continuation",
     "\xC3"
     "A",
     "?A"},
    {"lone_continuation_byte",
     "\x80"
     "a",
     "?a"},
    {"overlong_form_is_no_character", "\xC0\xBA\xE0\x80\xAF", "??"},
};

// Test names show the row by its name.
void PrintTo(const ConversionRow& row, std::ostream* os) { *os << row.name; }

class Latin1Table : public ::testing::TestWithParam<ConversionRow> {};

TEST_P(Latin1Table, ConvertsUtf8) {
  const ConversionRow& row = GetParam();
  EXPECT_EQ(tornal::latin1(row.utf8), row.latin1);
}

INSTANTIATE_TEST_SUITE_P(Latin1, Latin1Table, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<ConversionRow>& info) {
                           return std::string(info.param.name);
                         });

TEST(Latin1, OneByteACharacter) {
  std::string s = tornal::latin1("Simulación");
  ASSERT_EQ(s.size(), 10u);
  EXPECT_EQ(static_cast<unsigned char>(s[8]), 0xF3);
  EXPECT_EQ(tornal::utf8(s), "Simulación");
}

TEST(Latin1, EveryByteRoundTrips) {
  std::string all;
  for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
  std::string there = tornal::utf8(all);
  EXPECT_EQ(tornal::latin1(there), all);
  EXPECT_EQ(tornal::latin1(tornal::utf8(std::string("a\0b", 3))), std::string("a\0b", 3));
}

TEST(Latin1, FixedLengthTexts) {
  EXPECT_EQ(tornal::padded("abc", 5), "abc  ");
  EXPECT_EQ(tornal::padded("abcdef", 3), "abc");
  EXPECT_EQ(tornal::padded("", 2), "  ");
  EXPECT_EQ(tornal::padded(tornal::latin1("óé"), 3), "\xF3\xE9 ");
  EXPECT_EQ(tornal::padded(tornal::latin1("Conducción"), 9), "Conducci\xF3");
  EXPECT_EQ(tornal::trimmed("Rio alto   "), "Rio alto");
  EXPECT_EQ(tornal::trimmed("  a"), "  a");
  EXPECT_EQ(tornal::trimmed("     "), "");
  EXPECT_EQ(tornal::trimmed(""), "");
  EXPECT_EQ(tornal::trimmed(tornal::padded("C:\\datos\\red.txt", 255)), "C:\\datos\\red.txt");
  EXPECT_EQ(tornal::blanks(4), "    ");
}

}  // namespace
