// The fixed-format edits of the result files (one table of cases), the
// record reversion of a repeated group and the date labels of the months.
#include "common/fixed_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "common/ordered_pipeline.h"

namespace {

enum class Edit { F, I, A, Aw };

struct FormatCase {
  const char* name;
  Edit edit;
  double real;        // F
  long long integer;  // I
  const char* text;   // A, Aw
  int w;
  int d;
  const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

const std::vector<FormatCase> kCases = {
    // Fw.d
    {"F15_3_half", Edit::F, 0.5, 0, "", 15, 3, "          0.500"},
    {"F15_3_rounds_up", Edit::F, 12.3456, 0, "", 15, 3, "         12.346"},
    {"F15_3_rounds_down", Edit::F, 12.3454, 0, "", 15, 3, "         12.345"},
    {"F15_3_carry_into_integer_digits", Edit::F, 0.9996, 0, "", 15, 3, "          1.000"},
    {"F15_3_negative", Edit::F, -3.25, 0, "", 15, 3, "         -3.250"},
    {"F15_3_negative_rounding_to_zero_keeps_sign", Edit::F, -0.0001, 0, "", 15, 3, "         -0.000"},
    {"F15_3_zero_without_sign", Edit::F, 0.0, 0, "", 15, 3, "          0.000"},
    {"F15_3_negative_zero_without_sign", Edit::F, -0.0, 0, "", 15, 3, "          0.000"},
    {"F15_3_mark", Edit::F, -999.0, 0, "", 15, 3, "       -999.000"},
    {"F15_3_tiny_layer_value", Edit::F, 1.0000000116860974E-7, 0, "", 15, 3, "          0.000"},
    {"F15_3_largest_that_fits", Edit::F, 99999999999.999, 0, "", 15, 3, "99999999999.999"},
    {"F15_3_rounding_pushes_out_of_field", Edit::F, 99999999999.9996, 0, "", 15, 3, "***************"},
    {"F15_3_overflow_1E11", Edit::F, 1.0E11, 0, "", 15, 3, "***************"},
    {"F15_3_most_negative_that_fits", Edit::F, -9999999999.999, 0, "", 15, 3, "-9999999999.999"},
    {"F15_3_overflow_minus_1E10", Edit::F, -1.0E10, 0, "", 15, 3, "***************"},
    {"F15_3_nan", Edit::F, kNaN, 0, "", 15, 3, "***************"},
    {"F15_3_infinity", Edit::F, -kInf, 0, "", 15, 3, "***************"},
    {"F20_5_half", Edit::F, 0.5, 0, "", 20, 5, "             0.50000"},
    {"F20_5_largest_that_fits", Edit::F, 99999999999999.0, 0, "", 20, 5, "99999999999999.00000"},
    {"F20_5_overflow_1E14", Edit::F, 1.0E14, 0, "", 20, 5, "********************"},
    {"F20_5_most_negative_that_fits", Edit::F, -9999999999999.0, 0, "", 20, 5, "-9999999999999.00000"},
    {"F20_5_overflow_minus_1E13", Edit::F, -1.0E13, 0, "", 20, 5, "********************"},
    {"F20_5_negative_zero_without_sign", Edit::F, -0.0, 0, "", 20, 5, "             0.00000"},
    {"F5_0_keeps_its_point", Edit::F, 12.0, 0, "", 5, 0, "  12."},
    // Iw
    {"I4_year", Edit::I, 0, 2001, "", 4, 0, "2001"},
    {"I4_short_year", Edit::I, 0, 99, "", 4, 0, "  99"},
    {"I4_overflow", Edit::I, 0, 12345, "", 4, 0, "****"},
    {"I4_negative", Edit::I, 0, -123, "", 4, 0, "-123"},
    {"I4_negative_overflow", Edit::I, 0, -1234, "", 4, 0, "****"},
    {"I3_fits", Edit::I, 0, 7, "", 3, 0, "  7"},
    {"I3_largest", Edit::I, 0, 999, "", 3, 0, "999"},
    {"I3_overflow", Edit::I, 0, 1000, "", 3, 0, "***"},
    {"I3_negative", Edit::I, 0, -99, "", 3, 0, "-99"},
    {"I3_zero", Edit::I, 0, 0, "", 3, 0, "  0"},
    // A and Aw
    {"A_whole_text_with_its_blanks", Edit::A, 0, 0, " Alto  ", 0, 0, " Alto  "},
    {"A_empty", Edit::A, 0, 0, "", 0, 0, ""},
    {"Aw_cut_to_leftmost", Edit::Aw, 0, 0, "Octubre", 3, 0, "Oct"},
    {"Aw_exact", Edit::Aw, 0, 0, "Dic", 3, 0, "Dic"},
    {"Aw_padded_in_front", Edit::Aw, 0, 0, "ab", 5, 0, "   ab"},
    {"Aw_latin1_bytes", Edit::Aw, 0, 0, "Ox\xEDgeno", 4, 0, "Ox\xEDg"},
    {"A1_tab", Edit::Aw, 0, 0, "\t", 1, 0, "\t"},
};

class FixedFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(FixedFormat, EditsTheField) {
  const FormatCase& c = GetParam();
  std::string got;
  switch (c.edit) {
    case Edit::F:
      got = tornal::edit_F(c.real, c.w, c.d);
      break;
    case Edit::I:
      got = tornal::edit_I(c.integer, c.w);
      break;
    case Edit::A:
      got = tornal::edit_A(c.text);
      break;
    case Edit::Aw:
      got = tornal::edit_A(c.text, c.w);
      break;
  }
  EXPECT_EQ(got, c.expected);
  if (c.edit != Edit::A) {
    EXPECT_EQ(static_cast<int>(got.size()), c.w);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, FixedFormat, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<FormatCase>& i) { return std::string(i.param.name); });

// The date labels of the hydrological year: October to December in the
// first calendar year, January to September in the next.
TEST(FixedFormatDates, LabelsOfTheHydrologicalYear) {
  struct Row {
    int anyo, mes;
    const char* label;
  };
  const Row rows[] = {{1, 1, "Oct-2000"}, {1, 2, "Nov-2000"},  {1, 3, "Dic-2000"},  {1, 4, "Ene-2001"},
                      {1, 5, "Feb-2001"}, {1, 6, "Mar-2001"},  {1, 7, "Abr-2001"},  {1, 8, "May-2001"},
                      {1, 9, "Jun-2001"}, {1, 10, "Jul-2001"}, {1, 11, "Ago-2001"}, {1, 12, "Sep-2001"},
                      {2, 1, "Oct-2001"}, {2, 12, "Sep-2002"}};
  for (const Row& r : rows) {
    EXPECT_EQ(tornal::etiqueta_fecha(2000, r.anyo, r.mes), r.label) << r.anyo << "/" << r.mes;
    EXPECT_EQ(std::string(tornal::nombre_mes(r.mes)), std::string(r.label).substr(0, 3));
  }
  EXPECT_EQ(tornal::anyo_calendario(2000, 3, 3), 2002);
  EXPECT_EQ(tornal::anyo_calendario(2000, 3, 4), 2003);
}

// A group repeated n times: the record ends after n uses and the next one
// goes on with the group; no item still gives one empty record.
TEST(FixedFormatReversion, RecordsOfARepeatedGroup) {
  using V = std::vector<std::string>;
  EXPECT_EQ(tornal::reverted_records(V{}, 3), V{""});
  EXPECT_EQ(tornal::reverted_records(V{"a", "b"}, 3), V{"ab"});
  EXPECT_EQ(tornal::reverted_records(V{"a", "b", "c"}, 3), V{"abc"});
  EXPECT_EQ(tornal::reverted_records(V{"a", "b", "c", "d"}, 3), (V{"abc", "d"}));
  EXPECT_EQ(tornal::reverted_records(V{"a", "b", "c", "d", "e", "f", "g"}, 3), (V{"abc", "def", "g"}));
  EXPECT_EQ(tornal::reverted_records(V{"a", "b"}, 0), (V{"a", "b"}));
}

// The edits into a caller's buffer at their edges: exact binary ties go to
// the even digit, values just off a tie go the way their binary value lies,
// a carry across a power of ten may push the value out of its field, and a
// negative value that rounds to zero keeps its sign. The bytes around the
// field are left alone.
TEST(FixedFormatBuffer, EdgesOfTheEdits) {
  struct Row {
    double value;
    int w, d;
    const char* expected;
  };
  const Row rows[] = {
      // exact binary ties: to even
      {0.125, 6, 2, "  0.12"},
      {0.375, 6, 2, "  0.38"},
      {-0.125, 6, 2, " -0.12"},
      {2.5, 4, 0, "  2."},
      {3.5, 4, 0, "  4."},
      {0.0625, 15, 3, "          0.062"},
      {0.1875, 15, 3, "          0.188"},
      {1048576.0625, 15, 3, "    1048576.062"},
      // decimal halves that are not binary ties
      {0.0005, 15, 3, "          0.001"},
      {1.0005, 15, 3, "          1.000"},
      {2.675, 6, 2, "  2.67"},
      {1.005, 20, 2, "                1.00"},
      // powers of ten and the width of the field
      {9.9995, 15, 3, "          9.999"},
      {9.9996, 6, 3, "10.000"},
      {9.9996, 5, 3, "*****"},
      {9.999, 5, 3, "9.999"},
      {-9.9996, 6, 3, "******"},
      {-9.9996, 7, 3, "-10.000"},
      {99.4, 3, 0, "99."},
      {99.5, 3, 0, "***"},
      {1.0E10, 15, 3, "10000000000.000"},
      {1.0E300, 15, 3, "***************"},
      {0.5, 4, 3, "****"},
      {5.0, 1, 0, "*"},
      {5.0, 0, 3, ""},
      // negative values that round to zero, and zero
      {-0.0004, 15, 3, "         -0.000"},
      {-0.0005, 15, 3, "         -0.001"},
      {-0.4, 5, 0, "  -0."},
      {-1.0E-300, 20, 5, "            -0.00000"},
      {-0.0, 5, 0, "   0."},
      {std::numeric_limits<double>::denorm_min(), 8, 5, " 0.00000"},
      // many decimals
      {0.1, 60, 55, "   0.1000000000000000055511151231257827021181583404541015625"},
      // the formats of the result files, built in words of 8 bytes: the sign
      // as the last byte of a word, digits across the groups of 8, 16 and
      // more, a field filled from its first byte, a magnitude out of the
      // exact range
      {-123.4567, 15, 3, "       -123.457"},
      {-1234.4567, 15, 3, "      -1234.457"},
      {-99999999.5, 15, 3, "  -99999999.500"},
      {-123456.5, 20, 5, "       -123456.50000"},
      {-1234567.5, 20, 5, "      -1234567.50000"},
      {999.99999, 20, 5, "           999.99999"},
      {999.999995, 20, 5, "          1000.00000"},
      {99999999999.99998, 20, 5, "   99999999999.99998"},
      {123456789012.34567, 20, 5, "  123456789012.34567"},
      {1234567890123.25, 20, 5, " 1234567890123.25000"},
      {-1234567890123.0, 20, 5, "-1234567890123.00000"},
      {-12345678901234.0, 20, 5, "********************"},
      {-0.000004, 20, 5, "            -0.00000"},
      {9.0E15, 15, 3, "***************"},
      {-9999.9999994, 12, 6, "-9999.999999"},
      {-9999.9999996, 12, 6, "************"},
      {12345.6785, 12, 6, "12345.678500"},
  };
  for (const Row& r : rows) {
    char buf[80];
    std::fill(std::begin(buf), std::end(buf), '#');
    const int n = tornal::put_F(buf + 1, r.value, r.w, r.d);
    EXPECT_EQ(std::string(buf + 1, static_cast<std::size_t>(n)), r.expected) << r.value << " F" << r.w << "." << r.d;
    EXPECT_EQ(buf[0], '#');
    EXPECT_EQ(buf[1 + n], '#');
    EXPECT_EQ(tornal::edit_F(r.value, r.w, r.d), r.expected);
  }

  struct IRow {
    long long value;
    int w;
    const char* expected;
  };
  const IRow irows[] = {{std::numeric_limits<long long>::min(), 20, "-9223372036854775808"},
                        {std::numeric_limits<long long>::min(), 19, "*******************"},
                        {9999, 4, "9999"},
                        {10000, 4, "****"},
                        {-999, 4, "-999"},
                        {5, 0, ""}};
  for (const IRow& r : irows) {
    char buf[40];
    const int n = tornal::put_I(buf, r.value, r.w);
    EXPECT_EQ(std::string(buf, static_cast<std::size_t>(n)), r.expected) << r.value;
  }

  // A record edited field after field into a chunk's buffer, as the result
  // files edit theirs: room for the field, its edit, its commit.
  tornal::ChunkBuffer rb;
  auto campo = [&rb](std::size_t w, auto editar) {
    char* p = rb.room(w);
    rb.commit(p + editar(p));
  };
  campo(3, [](char* p) { return tornal::put_I(p, 7, 3); });
  rb.append(";");
  campo(6, [](char* p) { return tornal::put_F(p, -0.0, 6, 2); });
  rb.append("|x");
  campo(4, [](char* p) { return tornal::put_F(p, 1.0E9, 4, 1); });
  EXPECT_EQ(rb.text(), "  7;  0.00|x****");
  rb.clear();
  EXPECT_EQ(rb.text(), "");
}

// Every value of a wide spread of magnitudes, and the decimal halves around
// the last kept digit, edit to the bytes that the C library's "%#.*f" right
// aligned (or asterisks) gives.
TEST(FixedFormatBuffer, SameBytesAsTheCLibrary) {
  auto reference = [](double v, int w, int d) {
    if (!std::isfinite(v)) return std::string(static_cast<std::size_t>(w), '*');
    if (v == 0.0) v = 0.0;
    char b[512];
    std::snprintf(b, sizeof b, "%#.*f", d, v);
    const std::string body = b;
    if (body.size() > static_cast<std::size_t>(w)) return std::string(static_cast<std::size_t>(w), '*');
    return std::string(static_cast<std::size_t>(w) - body.size(), ' ') + body;
  };
  std::mt19937_64 gen(20261209);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-8, 16);
  const int formats[][2] = {{15, 3}, {20, 5}, {12, 6}, {8, 0}, {12, 7}};
  int mismatches = 0;
  for (int n = 0; n < 50000; ++n) {
    double v = mantissa(gen) * std::pow(10.0, exponent(gen));
    if (n % 4 == 1) v = std::round(v * 2000.0) / 2000.0 + (n % 8 == 1 ? 0.0 : 0.0005);  // decimal halves
    for (const auto& f : formats)
      if (tornal::edit_F(v, f[0], f[1]) != reference(v, f[0], f[1]) && ++mismatches < 10)
        ADD_FAILURE() << "value " << v << " F" << f[0] << "." << f[1];
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace

namespace {

// The fields told to a sink.
struct Campos final : tornal::AsteriskSink {
  std::vector<std::pair<const char*, int>> dichos;
  void asterisks(const char* at, int w) noexcept override { dichos.emplace_back(at, w); }
};

// Every edit tells the sink of the field it fills with asterisks, and only
// then: a value one unit too wide, a carry that pushes the value out, a
// value that is no number, the general path and the fixed formats alike.
TEST(FixedFormatAsterisks, EveryEditTellsItsSink) {
  enum Via { I, F, F15, F20, F12 };
  struct Row {
    Via via;
    double value;
    int w, d;
    bool asteriscos;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Row rows[] = {
      {I, 9999, 4, 0, false},
      {I, 10000, 4, 0, true},
      {I, -999, 4, 0, false},
      {I, -1000, 4, 0, true},
      {I, 1000, 3, 0, true},
      {F, 123456.78, 8, 2, true},
      {F, 12345.67, 8, 2, false},
      {F, 1e60, 50, 2, true},
      {F, 1e12, 30, 20, true},
      {F, 1.0, 30, 20, false},
      {F, -nan, 8, 2, true},
      {F12, 99999.999999, 12, 6, false},
      {F12, 99999.9999996, 12, 6, true},
      {F12, 123456.7, 12, 6, true},
      {F12, -9999.999999, 12, 6, false},
      {F12, -10000.0, 12, 6, true},
      {F15, 99999999999.999, 15, 3, false},
      {F15, 1e11, 15, 3, true},
      {F15, nan, 15, 3, true},
      {F15, -std::numeric_limits<double>::infinity(), 15, 3, true},
      {F20, 99999999999999.0, 20, 5, false},
      {F20, 1e14, 20, 5, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.value) + " in " + std::to_string(r.w) + "." + std::to_string(r.d));
    char buffer[64];
    Campos sink;
    {
      tornal::AsteriskWatch watch(sink);
      switch (r.via) {
        case I:
          tornal::put_I(buffer, static_cast<long long>(r.value), r.w);
          break;
        case F:
          tornal::put_F(buffer, r.value, r.w, r.d);
          break;
        case F15:
          tornal::put_F_fixed<15, 3>(buffer, r.value);
          break;
        case F20:
          tornal::put_F_fixed<20, 5>(buffer, r.value);
          break;
        case F12:
          tornal::put_F_fixed<12, 6>(buffer, r.value);
          break;
      }
    }
    const std::string campo(buffer, static_cast<std::size_t>(r.w));
    EXPECT_EQ(campo == std::string(static_cast<std::size_t>(r.w), '*'), r.asteriscos) << campo;
    if (r.asteriscos) {
      ASSERT_EQ(sink.dichos.size(), 1u);
      EXPECT_EQ(sink.dichos[0].first, buffer);
      EXPECT_EQ(sink.dichos[0].second, r.w);
    } else {
      EXPECT_TRUE(sink.dichos.empty());
    }
  }
}

// A sink hears the edits of its own thread while it is watched; a watch
// inside another hides it until it ends; with no watch the edits tell no one.
TEST(FixedFormatAsterisks, AWatchHearsItsThreadOnly) {
  Campos fuera, dentro;
  tornal::edit_I(12345, 4);
  {
    tornal::AsteriskWatch a(fuera);
    tornal::edit_I(12345, 4);
    {
      tornal::AsteriskWatch b(dentro);
      tornal::edit_F(1e9, 8, 2);
      const char etiqueta[3] = {'*', '*', '*'};
      tornal::asterisks_copied(etiqueta, 3);
    }
    std::thread([] { tornal::edit_I(12345, 4); }).join();
    tornal::edit_I(1234, 4);
    tornal::edit_F(1e9, 8, 2);
  }
  tornal::edit_I(12345, 4);
  EXPECT_EQ(fuera.dichos.size(), 2u);
  ASSERT_EQ(dentro.dichos.size(), 2u);
  EXPECT_EQ(dentro.dichos[1].second, 3);
}

// Where a use of a reverted group stands: the first record begins with
// fields of its own.
TEST(FixedFormatReversion, PlaceOfAGroup) {
  struct Row {
    std::size_t group, repeat, leading;
    long record, field;
  };
  const Row rows[] = {{0, 22, 3, 0, 4},  {5, 22, 3, 0, 9},     {21, 22, 3, 0, 25}, {22, 22, 3, 1, 1},
                      {21, 20, 3, 1, 2}, {1600, 800, 3, 2, 1}, {4, 0, 0, 4, 1}};
  for (const Row& r : rows) {
    const tornal::RevertedPlace p = tornal::reverted_place(r.group, r.repeat, r.leading);
    EXPECT_EQ(p.record, r.record) << r.group;
    EXPECT_EQ(p.field, r.field) << r.group;
  }
}

}  // namespace
