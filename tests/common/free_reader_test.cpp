// The free-format record reader and the tagged-line reader: one table of
// statements (what a row reads, what it gets, its outcome, and where the next
// statement starts), then the tagged-line reader and the opening of files.
#include "common/free_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/latin1.h"
#include "test_util.h"

namespace {

using tornal::FreeReader;
using tornal::ReadStatus;
using tornal::Statement;

// One statement read from `input`. `kinds` holds one letter an item:
// i integer, r double real, f single real, t text of 12, u text of 3, s skip.
// `expected` holds one entry an item (skips included): the value the target
// gets, or "=" when it keeps its preset value. `next` is what a second
// statement reading one text of 12 gets ("<eof>" at end of file).
struct Row {
  const char* name;
  std::string input;
  std::string kinds;
  std::vector<std::string> expected;
  ReadStatus status;
  std::string next;
};

constexpr int kPresetInt = -7;
constexpr double kPresetReal = -7.5;
constexpr float kPresetFloat = -7.25f;
const std::string kPresetText = "?";

const std::vector<Row> kRows = {
    // Items, separators and lines.
    {"blanks_separate", "5 2.5 abc\nNEXT\n", "irt", {"5", "2.5", "abc"}, ReadStatus::Ok, "NEXT"},
    {"commas_separate", "5,2.5 , abc\nNEXT\n", "irt", {"5", "2.5", "abc"}, ReadStatus::Ok, "NEXT"},
    {"tabs_are_blanks", "\t5\t2.5\tabc\t\nNEXT\n", "irt", {"5", "2.5", "abc"}, ReadStatus::Ok, "NEXT"},
    {"spans_lines_passing_empty_ones",
     "5\n\n \t \n2.5\n\nabc x\nNEXT\n",
     "irt",
     {"5", "2.5", "abc"},
     ReadStatus::Ok,
     "NEXT"},
    {"rest_of_last_line_ignored", "5 6 7 8\nNEXT\n", "ii", {"5", "6"}, ReadStatus::Ok, "NEXT"},
    {"trailing_comma_then_next_line", "5,\n7 8\nNEXT\n", "ii", {"5", "7"}, ReadStatus::Ok, "NEXT"},
    {"crlf_line_ends", "5 abc\r\n\r\nNEXT\r\n", "it", {"5", "abc"}, ReadStatus::Ok, "NEXT"},
    {"last_line_without_end", "5 6\nNEXT", "ii", {"5", "6"}, ReadStatus::Ok, "NEXT"},
    {"last_value_without_line_end", "5", "i", {"5"}, ReadStatus::Ok, "<eof>"},
    {"latin1_bytes_kept", "Simulaci\xF3n 2\nNEXT\n", "ti", {"Simulaci\xF3n", "2"}, ReadStatus::Ok, "NEXT"},

    // Null items keep the value of their target.
    {"null_between_commas", "5,,7\nNEXT\n", "iii", {"5", "=", "7"}, ReadStatus::Ok, "NEXT"},
    {"null_between_spaced_commas", "5 , , 7\nNEXT\n", "iii", {"5", "=", "7"}, ReadStatus::Ok, "NEXT"},
    {"null_text_and_real", "abc,,,4\nNEXT\n", "trti", {"abc", "=", "=", "4"}, ReadStatus::Ok, "NEXT"},
    {"leading_comma_null_first", ",7\nNEXT\n", "ii", {"=", "7"}, ReadStatus::Ok, "NEXT"},
    {"leading_comma_after_empty_line", "\n,7\nNEXT\n", "ii", {"=", "7"}, ReadStatus::Ok, "NEXT"},
    {"two_leading_commas", ", ,7\nNEXT\n", "iii", {"=", "=", "7"}, ReadStatus::Ok, "NEXT"},
    // A comma opening a line after a value is that value's separator.
    {"comma_opening_continued_line",
     "1, 2, 3\n, 4, 5\nNEXT\n",
     "iiiii",
     {"1", "2", "3", "4", "5"},
     ReadStatus::Ok,
     "NEXT"},
    {"comma_alone_on_continued_line", "5\n,\n7\nNEXT\n", "ii", {"5", "7"}, ReadStatus::Ok, "NEXT"},
    {"comma_ending_and_opening_lines", "5,\n,7\nNEXT\n", "iii", {"5", "=", "7"}, ReadStatus::Ok, "NEXT"},
    {"spaced_comma_ending_line", "5 , ,\n7\nNEXT\n", "iii", {"5", "=", "7"}, ReadStatus::Ok, "NEXT"},

    // Repeat counts.
    {"repeat_value", "3*0.5 9\nNEXT\n", "rrri", {"0.5", "0.5", "0.5", "9"}, ReadStatus::Ok, "NEXT"},
    {"repeat_nulls", "2* 4\nNEXT\n", "iii", {"=", "=", "4"}, ReadStatus::Ok, "NEXT"},
    {"repeat_nulls_then_comma", "2*,4\nNEXT\n", "iii", {"=", "=", "4"}, ReadStatus::Ok, "NEXT"},
    {"repeat_nulls_then_comma_next_line", "2*\n,4\nNEXT\n", "iii", {"=", "=", "4"}, ReadStatus::Ok, "NEXT"},
    {"repeat_serves_kinds", "2*7 x\nNEXT\n", "irt", {"7", "7", "x"}, ReadStatus::Ok, "NEXT"},
    {"repeat_quoted_text", "2*'a b' x\nNEXT\n", "ttt", {"a b", "a b", "x"}, ReadStatus::Ok, "NEXT"},
    {"repeat_spans_lines", "2*1\n3\nNEXT\n", "iii", {"1", "1", "3"}, ReadStatus::Ok, "NEXT"},
    {"repeat_left_over_dropped", "3*1\n2\n", "i", {"1"}, ReadStatus::Ok, "2"},
    {"repeat_count_zero", "0*5\nNEXT\n", "i", {"="}, ReadStatus::Error, "NEXT"},
    {"star_without_count", "*5\nNEXT\n", "i", {"="}, ReadStatus::Error, "NEXT"},
    {"repeat_of_bad_integer", "2*1.5\nNEXT\n", "ii", {"=", "="}, ReadStatus::Error, "NEXT"},

    // Reals.
    {"exponent_letters",
     "1.5D2 2d-1 -3E-2 4e+1\nNEXT\n",
     "rrrr",
     {"150", "0.2", "-0.03", "40"},
     ReadStatus::Ok,
     "NEXT"},
    {"exponent_by_sign_alone", "1.0+5 2.5-1\nNEXT\n", "rr", {"1e5", "0.25"}, ReadStatus::Ok, "NEXT"},
    {"point_forms", ".5 5. -7\nNEXT\n", "rrr", {"0.5", "5", "-7"}, ReadStatus::Ok, "NEXT"},
    {"single_precision", "0.1 1.5D0 3\nNEXT\n", "fff", {"0.1", "1.5", "3"}, ReadStatus::Ok, "NEXT"},
    // Halfway between two floats plus a little: through double it would round twice.
    {"single_precision_rounded_once",
     "1.0000000596046447753906251+0\nNEXT\n",
     "f",
     {"1.00000012"},
     ReadStatus::Ok,
     "NEXT"},
    {"lone_point", ".\nNEXT\n", "r", {"="}, ReadStatus::Error, "NEXT"},
    {"exponent_without_digits", "1e\nNEXT\n", "r", {"="}, ReadStatus::Error, "NEXT"},
    {"real_with_letters", "1.5x\nNEXT\n", "r", {"="}, ReadStatus::Error, "NEXT"},
    {"real_word", "abc\nNEXT\n", "f", {"="}, ReadStatus::Error, "NEXT"},
    {"quoted_real", "'1.5'\nNEXT\n", "r", {"="}, ReadStatus::Error, "NEXT"},
    // Beyond the range of the target: no number, never infinity.
    {"real_beyond_double", "1.5 1.0E+400\nNEXT\n", "rr", {"1.5", "="}, ReadStatus::Error, "NEXT"},
    {"negative_real_beyond_double", "-1.0D400\nNEXT\n", "r", {"="}, ReadStatus::Error, "NEXT"},
    {"largest_double_read", "1.7976931348623157E308\nNEXT\n", "r", {"1.7976931348623157E308"}, ReadStatus::Ok, "NEXT"},
    {"underflow_is_zero", "1.0E-400\nNEXT\n", "r", {"0"}, ReadStatus::Ok, "NEXT"},
    {"single_beyond_float", "1.0E+39\nNEXT\n", "f", {"="}, ReadStatus::Error, "NEXT"},
    {"single_beyond_double", "1e308 1e309\nNEXT\n", "f", {"="}, ReadStatus::Error, "NEXT"},

    // Integers.
    {"integer_signs", "+5 -0 -2147483648\nNEXT\n", "iii", {"5", "0", "-2147483648"}, ReadStatus::Ok, "NEXT"},
    {"integer_with_point", "5.0\nNEXT\n", "i", {"="}, ReadStatus::Error, "NEXT"},
    {"integer_with_trailing_point", "5.\nNEXT\n", "i", {"="}, ReadStatus::Error, "NEXT"},
    {"integer_with_exponent", "1e3\nNEXT\n", "i", {"="}, ReadStatus::Error, "NEXT"},
    {"integer_with_letters", "5a\nNEXT\n", "i", {"="}, ReadStatus::Error, "NEXT"},
    {"integer_too_large", "2147483648\nNEXT\n", "i", {"="}, ReadStatus::Error, "NEXT"},
    {"quoted_integer", "'5'\nNEXT\n", "i", {"="}, ReadStatus::Error, "NEXT"},
    {"error_stops_the_items", "5 x 7\nNEXT\n", "iii", {"5", "=", "="}, ReadStatus::Error, "NEXT"},
    {"error_on_later_line", "5\n6.5 7\nNEXT\n", "iii", {"5", "=", "="}, ReadStatus::Error, "NEXT"},

    // A slash ends the statement; the items left keep their values.
    {"slash_ends_statement", "5 / 6 7\nNEXT\n", "iii", {"5", "=", "="}, ReadStatus::Ok, "NEXT"},
    {"slash_right_after_value", "5/6\nNEXT\n", "ii", {"5", "="}, ReadStatus::Ok, "NEXT"},
    {"slash_after_comma", "5,/ 6\nNEXT\n", "ii", {"5", "="}, ReadStatus::Ok, "NEXT"},
    {"slash_first", "/ 5\nNEXT\n", "ti", {"=", "="}, ReadStatus::Ok, "NEXT"},
    {"slash_on_later_line", "5\n\n/ 6\n7\n", "ii", {"5", "="}, ReadStatus::Ok, "7"},
    {"slash_after_repeat_nulls", "3*/ 9\nNEXT\n", "iii", {"=", "=", "="}, ReadStatus::Ok, "NEXT"},
    {"slash_after_repeat_values", "2*4/ 9\nNEXT\n", "iii", {"4", "4", "="}, ReadStatus::Ok, "NEXT"},
    {"slash_ends_word", "a/b c\nNEXT\n", "tt", {"a", "="}, ReadStatus::Ok, "NEXT"},
    {"slash_inside_quotes", "'a/b' 5\nNEXT\n", "ti", {"a/b", "5"}, ReadStatus::Ok, "NEXT"},
    {"slash_after_quote", "'ab'/ 5\nNEXT\n", "ti", {"ab", "="}, ReadStatus::Ok, "NEXT"},

    // Texts.
    {"text_cut_and_padded", "Simulacion ab\nNEXT\n", "ut", {"Sim", "ab"}, ReadStatus::Ok, "NEXT"},
    {"quoted_with_blanks_and_commas", "'Rio, alto' 3\nNEXT\n", "ti", {"Rio, alto", "3"}, ReadStatus::Ok, "NEXT"},
    {"quoted_with_double_quotes", "\"a 'b' c\" 3\nNEXT\n", "ti", {"a 'b' c", "3"}, ReadStatus::Ok, "NEXT"},
    {"doubled_quotes", "'it''s' \"say \"\"hi\"\"\"\nNEXT\n", "tt", {"it's", "say \"hi\""}, ReadStatus::Ok, "NEXT"},
    {"empty_quoted_is_blank", "'' 5\nNEXT\n", "ti", {"", "5"}, ReadStatus::Ok, "NEXT"},
    {"quoted_leading_blanks_kept", "'  ab' 5\nNEXT\n", "ti", {"  ab", "5"}, ReadStatus::Ok, "NEXT"},
    {"quote_inside_word", "ab'c d\nNEXT\n", "tt", {"ab'c", "d"}, ReadStatus::Ok, "NEXT"},
    {"quoted_goes_on_next_line", "'ab\ncd' 5\nNEXT\n", "ti", {"abcd", "5"}, ReadStatus::Ok, "NEXT"},
    {"quoted_closing_at_line_end", "'ab'\n'cd'\nNEXT\n", "tt", {"ab", "cd"}, ReadStatus::Ok, "NEXT"},
    {"quoted_followed_by_letters", "'ab'cd 3\nNEXT\n", "tt", {"=", "="}, ReadStatus::Error, "NEXT"},
    {"quoted_never_closed", "'abc\nNEXT\n", "t", {"="}, ReadStatus::EndOfFile, "<eof>"},
    {"skip_any_item", "'a b' 1.5 x 5\nNEXT\n", "sssi", {"=", "=", "=", "5"}, ReadStatus::Ok, "NEXT"},

    // End of file.
    {"end_of_file_inside_statement", "5\n\n", "ii", {"5", "="}, ReadStatus::EndOfFile, "<eof>"},
    {"end_of_file_after_empty_lines", "\n \n", "i", {"="}, ReadStatus::EndOfFile, "<eof>"},
    {"empty_file", "", "i", {"="}, ReadStatus::EndOfFile, "<eof>"},

    // A heading passes exactly one line, whatever it holds.
    {"heading_passes_one_line", "Titulo del archivo\nNEXT\n", "", {}, ReadStatus::Ok, "NEXT"},
    {"heading_with_values", "5 6 7\n8\n", "", {}, ReadStatus::Ok, "8"},
    {"heading_on_empty_line", "\n5\nNEXT\n", "", {}, ReadStatus::Ok, "5"},
    {"heading_on_crlf_empty_line", "\r\n5\r\n", "", {}, ReadStatus::Ok, "5"},
    {"heading_on_last_line", "Titulo", "", {}, ReadStatus::Ok, "<eof>"},
    {"heading_at_end_of_file", "", "", {}, ReadStatus::EndOfFile, "<eof>"},
};

// Test names show the row by its name.
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

class FreeReaderTable : public ::testing::TestWithParam<Row> {};

std::string padded_expected(const std::string& text, std::size_t length) { return tornal::padded(text, length); }

TEST_P(FreeReaderTable, ReadsStatement) {
  const Row& row = GetParam();
  ASSERT_EQ(row.kinds.size(), row.expected.size()) << "row " << row.name << " is malformed";
  const std::size_t n = row.kinds.size();
  std::vector<int> ints(n, kPresetInt);
  std::vector<double> reals(n, kPresetReal);
  std::vector<float> floats(n, kPresetFloat);
  std::vector<std::string> texts(n);
  for (std::size_t k = 0; k < n; ++k) {
    if (row.kinds[k] == 't') texts[k] = tornal::padded(kPresetText, 12);
    if (row.kinds[k] == 'u') texts[k] = tornal::padded(kPresetText, 3);
  }

  FreeReader rd;
  rd.set_text(row.input);
  ReadStatus status;
  {
    Statement st = rd.statement();
    for (std::size_t k = 0; k < n; ++k) {
      switch (row.kinds[k]) {
        case 'i':
          st.integer(ints[k]);
          break;
        case 'r':
          st.real(reals[k]);
          break;
        case 'f':
          st.real(floats[k]);
          break;
        case 't':
          st.text(texts[k], 12);
          break;
        case 'u':
          st.text(texts[k], 3);
          break;
        case 's':
          st.skip();
          break;
        default:
          FAIL() << "unknown item kind " << row.kinds[k];
      }
    }
    status = st.finish();
    EXPECT_EQ(st.finish(), status) << "a second finish changes the outcome";
  }
  EXPECT_EQ(status, row.status);

  for (std::size_t k = 0; k < n; ++k) {
    const std::string& want = row.expected[k];
    const bool keeps = want == "=";
    SCOPED_TRACE("item " + std::to_string(k + 1));
    switch (row.kinds[k]) {
      case 'i':
        EXPECT_EQ(ints[k], keeps ? kPresetInt : std::atoi(want.c_str()));
        break;
      case 'r':
        EXPECT_EQ(reals[k], keeps ? kPresetReal : std::strtod(want.c_str(), nullptr));
        break;
      case 'f':
        EXPECT_EQ(floats[k], keeps ? kPresetFloat : std::strtof(want.c_str(), nullptr));
        break;
      case 't':
        EXPECT_EQ(texts[k], padded_expected(keeps ? kPresetText : want, 12));
        break;
      case 'u':
        EXPECT_EQ(texts[k], padded_expected(keeps ? kPresetText : want, 3));
        break;
      default:
        break;
    }
  }

  // Where the next statement starts.
  std::string word = tornal::blanks(12);
  Statement next = rd.statement();
  next.text(word, 12);
  ReadStatus next_status = next.finish();
  if (row.next == "<eof>") {
    EXPECT_EQ(next_status, ReadStatus::EndOfFile);
  } else {
    EXPECT_EQ(next_status, ReadStatus::Ok);
    EXPECT_EQ(word, tornal::padded(row.next, 12));
  }
}

INSTANTIATE_TEST_SUITE_P(FreeReader, FreeReaderTable, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// Statements follow one another line by line, and a statement left without
// finish() still moves the cursor past its last line.
TEST(FreeReader, StatementsFollowLineByLine) {
  FreeReader rd;
  rd.set_text("Titulo\n3 2\n\n'Embalse uno' 1.5\n'Embalse dos',\n 2.5\n");
  EXPECT_EQ(rd.statement().finish(), ReadStatus::Ok);
  int n = 0, m = 0;
  {
    Statement st = rd.statement();
    st.integer(n).integer(m);
  }
  EXPECT_EQ(n, 3);
  EXPECT_EQ(m, 2);
  std::string names[2];
  double volumes[2] = {0.0, 0.0};
  for (int k = 0; k < 2; ++k) {
    Statement st = rd.statement();
    st.text(names[k], 20).real(volumes[k]);
    EXPECT_EQ(st.finish(), ReadStatus::Ok) << k;
  }
  EXPECT_EQ(names[0], tornal::padded("Embalse uno", 20));
  EXPECT_EQ(names[1], tornal::padded("Embalse dos", 20));
  EXPECT_EQ(volumes[0], 1.5);
  EXPECT_EQ(volumes[1], 2.5);
  EXPECT_TRUE(rd.at_end());
  EXPECT_EQ(rd.statement().integer(n).finish(), ReadStatus::EndOfFile);
  EXPECT_EQ(rd.statement().finish(), ReadStatus::EndOfFile);
}

// The tagged-line reader: the first word of each line that holds one.
struct WordRow {
  const char* name;
  std::string input;
  std::size_t length;
  std::vector<std::string> words;  // trimmed words in order, then end of file
};

const std::vector<WordRow> kWordRows = {
    {"tags_and_values", "<NACU>\n1 2\n</NACU>\n", 30, {"<NACU>", "1", "<"}},
    {"word_ends_at_slash", "<A>1</A>\n", 30, {"<A>1<"}},
    {"leading_blanks_and_empty_lines", "\n   \n  <TAG>  rest of line\n\t<OTRA>,x\n", 30, {"<TAG>", "<OTRA>"}},
    {"comma_or_slash_first_gives_blanks", ",<TAG>\n/<TAG>\n<TAG>\n", 30, {"", "", "<TAG>"}},
    {"cut_to_length", "<UNIDADES_LARGAS>\n", 4, {"<UNI"}},
    {"crlf_lines", "<A>\r\n\r\n<B>\r\n", 10, {"<A>", "<B>"}},
    {"last_line_without_end", "<A>\n<B>", 10, {"<A>", "<B>"}},
    {"quoted_word_with_blanks", "'dos palabras' x\n", 20, {"dos palabras"}},
    {"empty_file", "", 10, {}},
    {"only_empty_lines", "\n\n  \n", 10, {}},
};

// Test names show the row by its name.
void PrintTo(const WordRow& row, std::ostream* os) { *os << row.name; }

class TaggedLineTable : public ::testing::TestWithParam<WordRow> {};

TEST_P(TaggedLineTable, ReadsFirstWords) {
  const WordRow& row = GetParam();
  FreeReader rd;
  rd.set_text(row.input);
  for (const std::string& want : row.words) {
    std::optional<std::string> w = rd.first_word(row.length);
    ASSERT_TRUE(w.has_value()) << "end of file before " << want;
    EXPECT_EQ(*w, tornal::padded(want, row.length));
  }
  EXPECT_FALSE(rd.first_word(row.length).has_value());
  EXPECT_FALSE(rd.first_word(row.length).has_value());
}

INSTANTIATE_TEST_SUITE_P(FreeReader, TaggedLineTable, ::testing::ValuesIn(kWordRows),
                         [](const ::testing::TestParamInfo<WordRow>& info) { return std::string(info.param.name); });

// A tag's values are read by statements on the lines after it, on the same cursor.
TEST(FreeReader, TagsAndStatementsShareTheCursor) {
  FreeReader rd;
  rd.set_text("<UNIDADES>\n2 0.5\n<NOMBRES> sobra\n'Rio alto'\n</NOMBRES>\n");
  auto w = rd.first_word(30);
  ASSERT_TRUE(w);
  EXPECT_EQ(tornal::trimmed(*w), "<UNIDADES>");
  int n = 0;
  double f = 0.0;
  EXPECT_EQ(rd.statement().integer(n).real(f).finish(), ReadStatus::Ok);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(f, 0.5);
  w = rd.first_word(30);
  ASSERT_TRUE(w);
  EXPECT_EQ(tornal::trimmed(*w), "<NOMBRES>");
  std::string name;
  EXPECT_EQ(rd.statement().text(name, 10).finish(), ReadStatus::Ok);
  EXPECT_EQ(name, "Rio alto  ");
  w = rd.first_word(30);
  ASSERT_TRUE(w);
  EXPECT_EQ(tornal::trimmed(*w), "<");
  EXPECT_FALSE(rd.first_word(30));
}

TEST(FreeReader, OpensFilesAndRefusesWhatIsNoFile) {
  tornal_test::TempDir dir;
  const std::string path = dir.write("datos.txt", "Titulo\r\n4 'Embalse'\r\n7");
  FreeReader rd;
  ASSERT_TRUE(rd.open(path));
  EXPECT_TRUE(tornal::file_exists(path));
  EXPECT_EQ(rd.statement().finish(), ReadStatus::Ok);
  int n = 0, m = 0;
  std::string name;
  EXPECT_EQ(rd.statement().integer(n).text(name, 8).finish(), ReadStatus::Ok);
  EXPECT_EQ(rd.statement().integer(m).finish(), ReadStatus::Ok);
  EXPECT_EQ(n, 4);
  EXPECT_EQ(name, "Embalse ");
  EXPECT_EQ(m, 7);

  FreeReader missing;
  EXPECT_FALSE(missing.open(dir.file("no_esta.txt")));
  EXPECT_FALSE(tornal::file_exists(dir.file("no_esta.txt")));
  // A folder opens as an empty stream on this system; it must not pass for
  // an empty file.
  FreeReader folder;
  EXPECT_FALSE(folder.open(dir.path()));
  EXPECT_FALSE(tornal::file_exists(dir.path()));

  // Reopening starts again from the first line of the new text.
  ASSERT_TRUE(rd.open(path));
  EXPECT_EQ(rd.next_line(), 0u);
}

// A file is read line by line from the disk and must give the same lines as
// the same bytes held in memory: LF and CR LF ends, a last line with no end,
// a last line ending in CR alone, empty lines, a CR inside a line, an empty
// file, and lines long enough to span the stream's buffer.
TEST(FreeReader, FileReadsAsItsTextInMemory) {
  const std::string largo(70000, 'x');
  std::vector<std::string> textos = {"a\nb\n", "a\r\nb\r\n", "a\nb", "a\nb\r", "\n\na\n\n", "a\rb c\n", "", "\r\n"};
  textos.push_back(largo);
  textos.back().append("\r\n").append(largo);
  textos.push_back("x y\n");
  textos.back().append(largo).append(" z\n");
  tornal_test::TempDir dir;
  for (std::size_t t = 0; t < textos.size(); ++t) {
    SCOPED_TRACE(t);
    FreeReader desde_archivo;
    std::string nombre = "t";
    nombre.append(std::to_string(t)).append(".txt");
    const std::string ruta = dir.write(nombre, textos[t]);
    ASSERT_TRUE(desde_archivo.open(ruta));
    FreeReader en_memoria;
    en_memoria.set_text(textos[t]);
    EXPECT_EQ(desde_archivo.line_count(), en_memoria.line_count());
    EXPECT_EQ(tornal::file_line_count(ruta), static_cast<long long>(en_memoria.line_count()));
    EXPECT_EQ(desde_archivo.characters_left(), en_memoria.characters_left());
    for (int n = 0; n < 10; ++n) {
      const auto a = desde_archivo.first_word(80);
      const auto b = en_memoria.first_word(80);
      EXPECT_EQ(a, b);
      EXPECT_EQ(desde_archivo.next_line(), en_memoria.next_line());
      if (!a || !b) break;
    }
    EXPECT_TRUE(desde_archivo.at_end());
  }
}

// The values that the rest of a text can supply, after its first line: a
// repeat count n*v or n* gives n, a comma a null item, a slash any number
// (its statement leaves values unread); and whether a list held in memory
// stays within what the text writes out or the bound of repeated values.
TEST(FreeReader, ValuesLeftCountRepeatCopies) {
  const long long TOPE = FreeReader::REPEATED_VALUES_HELD;
  const struct {
    const char* texto;
    unsigned long long valores;
    long long cabe;     // can_hold(cabe) is true
    long long no_cabe;  // can_hold(no_cabe) is false (0: no such count)
  } casos[] = {
      {"cuenta\n1 2 3\n", 3, TOPE, TOPE + 1},
      {"cuenta\n40*0\n", 40, 40, TOPE + 1},
      {"cuenta\n2* 3*1,4\r\n\n5*x y\n", 2 + 3 + 1 + 1 + 5 + 1, 13, TOPE + 1},
      {"cuenta\n1,,2\n", 4, 4, TOPE + 1},
      {"cuenta\n999999999*1 999999999*1 2*1\n", 2000000000, TOPE, 2000000000},
      // Not repeat counts: each is one item at most.
      {"cuenta\n0*5 *5 a*5 1234567890*5\n", 4, 4, TOPE + 1},
      {"cuenta\n1 /\n", 1ULL << 62, TOPE, TOPE + 1},
      {"cuenta\n", 0, TOPE, TOPE + 1},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.texto);
    FreeReader rd;
    rd.set_text(c.texto);
    ASSERT_TRUE(rd.first_word(10));
    EXPECT_EQ(rd.values_left(), c.valores);
    EXPECT_TRUE(rd.can_supply(static_cast<long long>(std::min<unsigned long long>(c.valores, 1ULL << 62))));
    if (c.valores < (1ULL << 62)) {
      EXPECT_FALSE(rd.can_supply(static_cast<long long>(c.valores) + 1));
    }
    EXPECT_TRUE(rd.can_hold(c.cabe));
    EXPECT_FALSE(rd.can_hold(c.no_cabe));
  }
  // A text written out value by value is held whole, however long.
  std::string largo = "cuenta\n";
  for (int k = 0; k < 9000000; ++k) largo += "1 ";
  FreeReader rd;
  rd.set_text(largo);
  ASSERT_TRUE(rd.first_word(10));
  EXPECT_TRUE(rd.can_hold(TOPE + 1));
}

// Integers taken a run at a time: an item and as many of its repeated copies
// as are asked for, the rest left for the next call; a null item keeps the
// value; an error, a slash or the end of the text takes none.
TEST(FreeReader, IntegersTakeRepeatedCopiesAtOnce) {
  const struct {
    const char* texto;
    long long pedidos;               // values asked for each call
    std::vector<std::string> tomas;  // "kxv" (k copies of v), "kx=" (k nulls), "0" (none)
    ReadStatus estado;
  } casos[] = {
      {"999999999*7 2\n", 1000000000, {"999999999x7", "1x2"}, ReadStatus::Ok},
      {"5*7 2\n", 3, {"3x7", "2x7", "1x2"}, ReadStatus::Ok},
      {"3* 4\n", 10, {"3x=", "1x4"}, ReadStatus::Ok},
      {"2*4 / 9\n", 10, {"2x4", "0"}, ReadStatus::Ok},
      {"2*x\n", 10, {"0"}, ReadStatus::Error},
      {"1\n", 10, {"1x1", "0"}, ReadStatus::EndOfFile},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.texto);
    FreeReader rd;
    rd.set_text(c.texto);
    Statement st = rd.statement();
    std::vector<std::string> tomas;
    for (std::size_t k = 0; k < c.tomas.size(); ++k) {
      int v = -1;
      bool nulo = false;
      const long long n = st.integers(v, nulo, c.pedidos);
      tomas.push_back(n == 0 ? "0" : std::to_string(n) + "x" + (nulo ? "=" : std::to_string(v)));
    }
    EXPECT_EQ(tomas, c.tomas);
    EXPECT_EQ(st.finish(), c.estado);
  }
}

// A file whose size the system does not tell beforehand is read whole all
// the same.
TEST(FreeReader, ReadsAFileOfUnknownSize) {
  const std::string bytes = tornal_test::TempDir::read_file("/proc/self/cmdline");
  ASSERT_FALSE(bytes.empty());
  FreeReader rd;
  ASSERT_TRUE(rd.open("/proc/self/cmdline"));
  EXPECT_EQ(rd.line_count(), 1u);
  EXPECT_EQ(rd.characters_left(), bytes.size() + 1);
}

// Every form of a real item gives the value that the C library reads from
// its C spelling, to the bit (the sign of zero included): short decimals,
// which are read in one exact step, and the limits of that step (2^53, 10^22,
// 19 digits), long mantissas, every exponent letter, denormals, underflow.
TEST(FreeReader, RealsReadAsTheCLibraryReadsThem) {
  struct Forma {
    const char* item;
    const char* c;
  };
  const std::vector<Forma> dobles = {{"3.85", "3.85"},
                                     {"0.1", "0.1"},
                                     {"-0.0", "-0.0"},
                                     {"+0", "0"},
                                     {"-2.", "-2."},
                                     {".3", ".3"},
                                     {"9007199254740992", "9007199254740992"},
                                     {"9007199254740993", "9007199254740993"},
                                     {"3569229497389526.7", "3569229497389526.7"},
                                     {"1234567890123456789", "1234567890123456789"},
                                     {"12345678901234567890123", "12345678901234567890123"},
                                     {"0.00000000000000000000000000123", "1.23e-27"},
                                     {"1e22", "1e22"},
                                     {"1e23", "1e23"},
                                     {"5E-22", "5e-22"},
                                     {"123.4567D-20", "123.4567e-20"},
                                     {"1.0+5", "1.0e5"},
                                     {"2.5-1", "2.5e-1"},
                                     {"+7.Q1", "7.e1"},
                                     {"1d0000000000000000000000005", "1e5"},
                                     {"4.9e-324", "4.9e-324"},
                                     {"2.4703282292062328e-324", "2.4703282292062328e-324"},
                                     {"1.0E-400", "0"},
                                     {"-1.0E-400", "-0.0"},
                                     {"1.7976931348623157D308", "1.7976931348623157e308"}};
  for (const Forma& f : dobles) {
    SCOPED_TRACE(f.item);
    FreeReader rd;
    rd.set_text(std::string(f.item) + "\r\n");
    double v = kPresetReal;
    EXPECT_EQ(rd.statement().real(v).finish(), ReadStatus::Ok);
    const double c = std::strtod(f.c, nullptr);
    EXPECT_EQ(v, c);
    EXPECT_EQ(std::signbit(v), std::signbit(c));
  }
  const std::vector<Forma> simples = {{"0.1", "0.1"},     {"16777217", "16777217"}, {"3.4028235E38", "3.4028235e38"},
                                      {"1e-46", "1e-46"}, {"-1e-46", "-1e-46"},     {"7.0064923D-46", "7.0064923e-46"},
                                      {"1.5+0", "1.5e0"}};
  for (const Forma& f : simples) {
    SCOPED_TRACE(f.item);
    FreeReader rd;
    rd.set_text(std::string(f.item) + "\n");
    float v = kPresetFloat;
    EXPECT_EQ(rd.statement().real(v).finish(), ReadStatus::Ok);
    const float c = std::strtof(f.c, nullptr);
    EXPECT_EQ(v, c);
    EXPECT_EQ(std::signbit(v), std::signbit(c));
  }
}

}  // namespace
