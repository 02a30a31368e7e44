// Fixed-format edits of the result files: Iw, Fw.d, A and Aw, each giving the
// exact characters of its field; a value that does not fit fills the field
// with asterisks, and the edit tells the sink of asterisks of its thread,
// if one is watching. Also the record reversion of a repeated group, and
// the date label of a month ("Oct-2000").
#pragma once

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tornal {

// Where the edits of a thread tell of the fields they fill with asterisks (a
// value too wide for its field, or not finite). The writer of a file sets
// one while it edits, and works out where the field stands in its file only
// when it was told of one: an edit that fits costs nothing more.
class AsteriskSink {
 public:
  // A field of w characters at `at` has been filled with asterisks.
  virtual void asterisks(const char* at, int w) noexcept = 0;

 protected:
  ~AsteriskSink() = default;
};

// While it lives, the edits of this thread tell `sink` of their asterisks;
// the sink set before it is set again when it ends.
class AsteriskWatch {
 public:
  explicit AsteriskWatch(AsteriskSink& sink) noexcept;
  ~AsteriskWatch();
  AsteriskWatch(const AsteriskWatch&) = delete;
  AsteriskWatch& operator=(const AsteriskWatch&) = delete;

 private:
  AsteriskSink* previous_;
};

// A sink that counts the fields.
class AsteriskCount : public AsteriskSink {
 public:
  void asterisks(const char*, int) noexcept override { ++fields; }
  long fields = 0;
};

// Tells the sink of this thread of a field that an edit filled with
// asterisks once and that the writer copies to `at` (a label edited once
// for many records).
void asterisks_copied(const char* at, int w) noexcept;

// The edits into a caller's buffer, which has room for w characters: they
// write exactly the field (nothing when w is 0 or less) and return its
// length. put_I is Iw and put_F is Fw.d, as edit_I and edit_F below, without
// the C library's printf and without a heap string.
int put_I(char* out, long long value, int w);
int put_F(char* out, double value, int w, int d);

// Fw.d with the width and the decimals fixed at compile time (the formats
// of the result files: F15.3, F20.5, F12.6): the same bytes as put_F, built
// without a call for the values of the result files. Defined below.
template <int W, int D>
void put_F_fixed(char* out, double value);

// Iw: right-aligned in w characters, a minus sign before a negative value.
std::string edit_I(long long value, int w);
// Fw.d: rounded to d decimals, right-aligned in w characters, a 0 before the
// point below 1; zero without sign, a negative value that rounds to zero
// keeps its minus sign. The decimals are those of the exact binary value,
// rounded to nearest, a tie to even.
std::string edit_F(double value, int w, int d);
// A: the text as handed over. Aw: its leftmost w characters, or the text
// preceded by blanks up to w.
std::string edit_A(std::string_view text);
std::string edit_A(std::string_view text, int w);

namespace fixed_format_detail {

// put_F without the short cuts of the fixed formats.
int put_F_general(char* out, double value, int w, int d);

// Fills the field of w characters at `out` with asterisks and tells the
// sink of this thread: the rare branch of every edit, out of line.
void fill_asterisks(char* out, int w) noexcept;

inline constexpr std::uint64_t POT10[19] = {1ULL,
                                            10ULL,
                                            100ULL,
                                            1000ULL,
                                            10000ULL,
                                            100000ULL,
                                            1000000ULL,
                                            10000000ULL,
                                            100000000ULL,
                                            1000000000ULL,
                                            10000000000ULL,
                                            100000000000ULL,
                                            1000000000000ULL,
                                            10000000000000ULL,
                                            100000000000000ULL,
                                            1000000000000000ULL,
                                            10000000000000000ULL,
                                            100000000000000000ULL,
                                            1000000000000000000ULL};

// The largest magnitude whose d-decimal rounding is kept below 2^63:
// 9 x 10^(18 - d).
inline constexpr double LIMITE[19] = {9e18, 9e17, 9e16, 9e15, 9e14, 9e13, 9e12, 9e11, 9e10, 9e9,
                                      9e8,  9e7,  9e6,  9e5,  9e4,  9e3,  9e2,  9e1,  9e0};

// The exact binary value of a finite magnitude a below LIMITE[d], times
// 10^d, rounded to nearest with ties to even, as the C library rounds:
// m x 2^e x 10^d in 128-bit integers.
inline std::uint64_t escalado_exacto(double a, int d) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(a);
  const int campo = static_cast<int>(bits >> 52);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e = -1074;
  if (campo != 0) {
    m |= std::uint64_t{1} << 52;
    e = campo - 1075;
  }
  using u128 = unsigned __int128;
  const u128 n = static_cast<u128>(m) * POT10[d];  // below 2^113
  if (e >= 0) return static_cast<std::uint64_t>(n << e);
  if (-e >= 120) return 0;  // far below half a unit of the last decimal
  // n / 2^s rounded to nearest, a tie to the even quotient, without a
  // branch: half a unit less one, plus the lowest bit of the quotient,
  // is added before the shift.
  const int s = -e;
  const u128 mitad = static_cast<u128>(1) << (s - 1);
  return static_cast<std::uint64_t>((n + (mitad - 1) + ((n >> s) & 1)) >> s);
}

// The eight decimal digits of n (below 10^8), the first in the lowest byte:
// the halves, quarters and digits split in the lanes of one 64-bit word.
inline std::uint64_t ocho_digitos(std::uint64_t n) {
  const std::uint64_t x = (n / 10000) | ((n % 10000) << 32);
  const std::uint64_t cien = ((x * 10486) >> 20) & 0x0000007F0000007FULL;
  const std::uint64_t y = cien | ((x - cien * 100) << 16);
  const std::uint64_t diez = ((y * 103) >> 10) & 0x000F000F000F000FULL;
  const std::uint64_t z = diez | ((y - diez * 10) << 8);
  return z + 0x3030303030303030ULL;
}

// The number of decimal digits of q (1 for 0); q below 2^63.
inline int cifras(std::uint64_t q) {
  const int bits = 64 - std::countl_zero(q | 1);
  const int t = (bits * 1233) >> 12;
  return t + 1 - (q < POT10[t] ? 1 : 0);
}

// The bytes S[i, i + 8) of the digit string S held in the words s[0..3]
// (the first byte of S in the lowest byte of s[0]).
template <int I>
inline std::uint64_t ventana(const std::uint64_t* s) {
  static_assert(I >= 0 && I < 24);
  constexpr int a = I / 8, b = I % 8;
  if constexpr (b == 0)
    return s[a];
  else
    return (s[a] >> (8 * b)) | (s[a + 1] << (64 - 8 * b));
}

// The bytes [P, P + 8) of the field Fw.d: the integer digits of S (its last
// D digits are the decimals, its last byte the units of the last decimal)
// up to the point, the point, the decimals; blanks before the first
// digit, `inicio`, and the sign just before it when `negativo`.
template <int W, int D, int P>
inline std::uint64_t palabra(const std::uint64_t* s, int inicio, bool negativo) {
  constexpr int PUNTO = W - 1 - D;
  constexpr auto bytes = [](auto elegido) {
    std::uint64_t m = 0;
    for (int b = 0; b < 8; ++b)
      if (elegido(P + b)) m |= std::uint64_t{0xFF} << (8 * b);
    return m;
  };
  constexpr std::uint64_t M_ENTERAS = bytes([](int k) { return k < PUNTO; });
  constexpr std::uint64_t M_PUNTO = bytes([](int k) { return k == PUNTO; });
  constexpr std::uint64_t M_DECIMALES = bytes([](int k) { return k > PUNTO; });
  if constexpr (M_ENTERAS == ~std::uint64_t{0}) {
    // Blanks only, the common case of the first word of a wide field.
    if (inicio - (negativo ? 1 : 0) - P >= 8) return 0x2020202020202020ULL;
  }
  std::uint64_t w = (M_PUNTO & 0x2E2E2E2E2E2E2E2EULL) | (M_DECIMALES & ventana<P + 24 - W>(s));
  if constexpr (M_ENTERAS != 0) {
    // The integer byte k shows digit S[k + 25 - W].
    w |= M_ENTERAS & ventana<P + 25 - W>(s);
    const int c = inicio - P;
    const std::uint64_t blancos = c <= 0 ? 0 : c >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * c)) - 1;
    w = (w & ~blancos) | (blancos & 0x2020202020202020ULL);
    const int signo = inicio - 1 - P;
    if (negativo && signo >= 0 && signo < 8) w ^= std::uint64_t{' ' ^ '-'} << (8 * signo);
  }
  return w;
}

}  // namespace fixed_format_detail

template <int W, int D>
void put_F_fixed(char* out, double value) {
  static_assert(W >= 8 && W <= 24 && D >= 0 && D <= W - 2, "the short formats of the result files");
  using namespace fixed_format_detail;
  const double a = std::fabs(value);
  // A magnitude out of the exact range (also infinity and NaN) takes the
  // general edit, and so does every value where the words are not stored
  // in the order of their bytes.
  if (!(a < LIMITE[D]) || std::endian::native != std::endian::little) [[unlikely]] {
    put_F_general(out, value, W, D);
    return;
  }
  const std::uint64_t q = escalado_exacto(a, D);
  // The digits of q, right-aligned in the 24 bytes of s[0..2] with leading
  // zeros; s[3] is never shown.
  constexpr std::uint64_t CEROS = 0x3030303030303030ULL;
  std::uint64_t s[4];
  s[3] = CEROS;
  s[0] = CEROS;
  if (q < POT10[8]) [[likely]] {
    s[1] = CEROS;
    s[2] = ocho_digitos(q);
  } else if (q < POT10[16]) {
    const std::uint64_t alto = q / POT10[8];
    s[1] = ocho_digitos(alto);
    s[2] = ocho_digitos(q - alto * POT10[8]);
  } else {
    const std::uint64_t cima = q / POT10[16];
    const std::uint64_t resto = q - cima * POT10[16];
    const std::uint64_t alto = resto / POT10[8];
    s[0] = ocho_digitos(cima);
    s[1] = ocho_digitos(alto);
    s[2] = ocho_digitos(resto - alto * POT10[8]);
  }
  // The integer digits (at least one), the sign (also of a value that
  // rounds to zero; a negative zero has none), or asterisks when they do
  // not fit before the point.
  const int enteras = cifras(q) - D;
  const int inicio = W - 1 - D - (enteras > 1 ? enteras : 1);
  const bool negativo = value < 0.0;
  if (inicio - (negativo ? 1 : 0) < 0) [[unlikely]] {
    fill_asterisks(out, W);
    return;
  }
  // The field in words of 8 bytes, the last one over the one before when
  // the width is no multiple of 8: stores from registers only.
  [&]<int... K>(std::integer_sequence<int, K...>) {
    (([&] {
       const std::uint64_t w = palabra<W, D, 8 * K>(s, inicio, negativo);
       std::memcpy(out + std::ptrdiff_t{8} * K, &w, 8);
     })(),
     ...);
  }
  (std::make_integer_sequence<int, W / 8>{});
  if constexpr (W % 8 != 0) {
    const std::uint64_t w = palabra<W, D, W - 8>(s, inicio, negativo);
    std::memcpy(out + W - 8, &w, 8);
  }
}

// Record reversion of a format made of one group repeated up to `repeat`
// times: `groups` holds each use of the group already edited (for
// "5000(F20.5,A1)" one value and its TAB); every `repeat` uses the record
// ends and the next one begins. A write of no item still gives one empty
// record. `repeat` below 1 counts as 1.
std::vector<std::string> reverted_records(const std::vector<std::string>& groups, std::size_t repeat);

// Where use `group` (from 0) of such a write stands: its record (from 0)
// and its field in the record (from 1), when the first record begins with
// `leading` fields of its own.
struct RevertedPlace {
  long record;
  long field;
};
RevertedPlace reverted_place(std::size_t group, std::size_t repeat, std::size_t leading);

// The three letters of month 1 (October) to 12 (September).
const char* nombre_mes(int mes);
// The calendar year of month `mes` (1 = October) of hydrological year
// `anyo` (1 = the first): ANYOINICIAL + anyo - 1 for October to December,
// ANYOINICIAL + anyo for January to September.
int anyo_calendario(int ANYOINICIAL, int anyo, int mes);
// "Oct-2000" .. "Sep-2001".
std::string etiqueta_fecha(int ANYOINICIAL, int anyo, int mes);

}  // namespace tornal
