// The free-format writer: the lines one statement makes (one table), the
// digits of its reals, and the output file and run log it writes through.
#include "common/free_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "common/stop.h"
#include "test_util.h"

namespace {

using tornal::FreeItem;

struct LineRow {
  const char* name;
  std::vector<FreeItem> items;
  std::vector<std::string> lines;
};

const std::string k79(79, 'x');
std::string pattern(std::size_t n) {
  std::string s;
  for (std::size_t k = 0; k < n; ++k) s.push_back(static_cast<char>('a' + k % 26));
  return s;
}
const std::string k200 = pattern(200);

const std::vector<LineRow> kLineRows = {
    {"text_at_full_length", {std::string("abc  ")}, {" abc  "}},
    {"texts_side_by_side", {"Embalse:", std::string("Uno  ")}, {" Embalse:Uno  "}},
    {"utf8_message_in_latin1", {"Simulación"}, {" Simulaci\xF3n"}},
    {"latin1_text_as_it_stands", {std::string("Simulaci\xF3n")}, {" Simulaci\xF3n"}},
    // An integer that opens a line takes its leading blank as the first blank of its field.
    {"integers_width_12", {5, -3}, {"           5          -3"}},
    {"integer_then_text", {7, "abc"}, {"           7 abc"}},
    {"text_integer_text", {"Nudo:", 4, std::string("fin")}, {" Nudo:           4 fin"}},
    {"text_then_integer", {"Numero:", 7}, {" Numero:           7"}},
    {"wide_integer", {1234567890123LL}, {" 1234567890123"}},
    {"single_one", {1.0f}, {"   1.00000000    "}},
    {"single_negative", {-1.0f}, {"  -1.00000000    "}},
    {"single_no_negative_zero", {-0.0f}, {"   0.00000000    "}},
    {"single_zero", {0.0f}, {"   0.00000000    "}},
    {"single_below_one", {0.1f}, {"  0.100000001    "}},
    {"single_no_decimals_left", {123456792.0f}, {"   123456792.    "}},
    {"single_rounds_to_next_power", {99999999.0f}, {"   100000000.    "}},
    {"single_large_e_form", {1.0e9f}, {"   1.00000000E+09"}},
    {"single_small_e_form", {0.05f}, {"   5.00000007E-02"}},
    {"single_negative_e_form", {-1.5e-7f}, {"  -1.50000005E-07"}},
    {"double_no_negative_zero", {-0.0}, {"   0.0000000000000000    "}},
    // 80 characters at most: the seventh integer goes to a new line.
    {"integers_wrap_at_80",
     {1, 2, 3, 4, 5, 6, 7},
     {std::string(11, ' ') + "1" + std::string(11, ' ') + "2" + std::string(11, ' ') + "3" + std::string(11, ' ') +
          "4" + std::string(11, ' ') + "5" + std::string(11, ' ') + "6",
      "           7"}},
    {"text_that_does_not_fit_starts_a_line",
     {std::string(70, 'a'), std::string(10, 'b')},
     {" " + std::string(70, 'a'), " " + std::string(10, 'b')}},
    {"text_that_just_fits", {std::string(70, 'a'), std::string(9, 'b')}, {" " + std::string(70, 'a') + "bbbbbbbbb"}},
    {"integer_after_text_wraps", {std::string(70, 'a'), 5}, {" " + std::string(70, 'a'), "           5"}},
    {"text_of_79_on_one_line", {k79}, {" " + k79}},
    {"text_of_80_cut", {k79 + "y"}, {" " + k79, " y"}},
    {"long_text_cut_in_pieces_of_79",
     {7, k200, 8},
     {"           7", " " + k200.substr(0, 79), " " + k200.substr(79, 79), " " + k200.substr(158) + "           8"}},
};

// Test names show the row by its name.
void PrintTo(const LineRow& row, std::ostream* os) { *os << row.name; }

class FreeWriterTable : public ::testing::TestWithParam<LineRow> {};

TEST_P(FreeWriterTable, WritesLines) {
  const LineRow& row = GetParam();
  std::vector<std::string> lines = tornal::free_format_lines(row.items);
  EXPECT_EQ(lines, row.lines);
  for (const std::string& l : lines) {
    EXPECT_LE(l.size(), 80u) << l;
    EXPECT_EQ(l.substr(0, 1), " ") << l;
  }
}

INSTANTIATE_TEST_SUITE_P(FreeWriter, FreeWriterTable, ::testing::ValuesIn(kLineRows),
                         [](const ::testing::TestParamInfo<LineRow>& info) { return std::string(info.param.name); });

// Significant digits of a rendered real: the digits from the first non-zero
// one to the end of the mantissa.
int significant_digits(const std::string& s) {
  std::string mantissa = s.substr(0, s.find('E'));
  int n = 0;
  bool started = false;
  for (char c : mantissa) {
    if (c < '0' || c > '9') continue;
    if (c != '0') started = true;
    if (started) ++n;
  }
  return n;
}

// A real keeps its digits (9 for single, 17 for double, enough to read back
// the same value) and takes the F form for decimal exponents -1 to digits-1.
TEST(FreeWriter, RealsReadBackExactly) {
  const double doubles[] = {0.1,     1.0 / 3.0,     2.0 / 3.0 * 1e16,
                            123.456, -98765.4321,   0.1 + 0.2,
                            1e-2,    0.09999999,    1e17,
                            -1e-300, 6.02214076e23, std::numeric_limits<double>::max(),
                            4.9e-324};
  for (double x : doubles) {
    std::string s = FreeItem(x).render();
    std::string t = s.substr(s.find_first_not_of(' '));
    t = tornal::trimmed(t);
    EXPECT_EQ(std::strtod(t.c_str(), nullptr), x) << t;
    int exponent = static_cast<int>(std::floor(std::log10(std::fabs(x))));
    bool f_form = exponent >= -1 && exponent < 17;
    EXPECT_EQ(t.find('E') == std::string::npos, f_form) << t;
    EXPECT_EQ(significant_digits(t), 17) << t;
    EXPECT_NE(t.find('.'), std::string::npos) << t;
  }
  const float floats[] = {0.1f, 1.0f / 3.0f, 16777217.0f, -2.5e-5f, 3.4e38f, 1.17549435e-38f, 123456.789f};
  for (float x : floats) {
    std::string s = FreeItem(x).render();
    std::string t = tornal::trimmed(s.substr(s.find_first_not_of(' ')));
    EXPECT_EQ(std::strtof(t.c_str(), nullptr), x) << t;
    EXPECT_EQ(significant_digits(t), 9) << t;
    EXPECT_NE(t.find('.'), std::string::npos) << t;
  }
}

TEST(FreeWriter, OutputFileTruncatesAndWritesCrLf) {
  tornal_test::TempDir dir;
  const std::string path = dir.write("salida.txt", "old content that must go\n");
  tornal::OutputFile out;
  ASSERT_TRUE(out.open(path));
  EXPECT_TRUE(out.line("Cabecera"));
  EXPECT_TRUE(out.write_free({"Valor:", 3}));
  EXPECT_TRUE(out.close());
  EXPECT_EQ(dir.read("salida.txt"), "Cabecera\r\n Valor:           3\r\n");

  tornal::OutputFile nowhere;
  EXPECT_FALSE(nowhere.open(dir.file("no_such_folder/salida.txt")));
  EXPECT_FALSE(nowhere.line("x"));
}

TEST(FreeWriter, RunLogAppendsAndKeepsItsLines) {
  tornal_test::TempDir dir;
  const std::string path = dir.write("log.txt", " earlier run\r\n");
  tornal::RunLog log;
  ASSERT_TRUE(log.open_append(path));
  log.write({"Simulación", 1});
  log.write({std::string(85, 'z')});
  log.close();
  EXPECT_EQ(dir.read("log.txt"),
            " earlier run\r\n Simulaci\xF3n           1\r\n " + std::string(79, 'z') + "\r\n zzzzzz\r\n");
  ASSERT_EQ(log.lines().size(), 3u);
  EXPECT_EQ(log.lines()[0], " Simulaci\xF3n           1");

  tornal::RunLog memory;
  memory.open_memory();
  memory.write({"uno"});
  memory.write({2});
  EXPECT_EQ(memory.lines(), (std::vector<std::string>{" uno", "           2"}));
}

// A write that the device refuses is not lost silently: the run stops.
TEST(FreeWriter, RunLogWriteFailureStops) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  tornal::RunLog log;
  ASSERT_TRUE(log.open_append("/dev/full"));
  std::string message = tornal_test::stop_message([&] {
    log.write({"linea"});
    log.close();
  });
  EXPECT_NE(message.find("registro"), std::string::npos) << message;

  tornal::OutputFile out;
  ASSERT_TRUE(out.open("/dev/full"));
  out.line("linea");
  EXPECT_FALSE(out.close());
}

}  // namespace
