// Fixed-format edits and date labels (see fixed_format.h).
#include "common/fixed_format.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <vector>

namespace tornal {

namespace {

// The field: `body` right-aligned in w characters, or w asterisks when it
// is longer.
int right(char* out, const char* body, std::size_t length, int w) {
  if (w <= 0) return 0;
  const std::size_t width = static_cast<std::size_t>(w);
  if (length > width) {
    std::memset(out, '*', width);
  } else {
    std::memset(out, ' ', width - length);
    std::memcpy(out + (width - length), body, length);
  }
  return w;
}

constexpr std::uint64_t POT10[19] = {1ULL,
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

// The decimal digits of n, at least `minimo` of them (zeros in front), written
// backwards ending just before `fin`; returns the first.
char* digitos(std::uint64_t n, int minimo, char* fin) {
  char* p = fin;
  while (n != 0 || minimo > 0) {
    *--p = static_cast<char>('0' + n % 10);
    n /= 10;
    --minimo;
  }
  return p;
}

// Fw.d of a finite value whose d-decimal rounding stays below 2^63 and with
// d at most 18, into body: the exact binary value m x 2^e times 10^d, in
// 128-bit integers, rounded to nearest with ties to even, as the C library
// rounds. Returns the length, or 0 when the value is not of this kind.
std::size_t fijo_exacto(double value, int d, char* body) {
  if (d > 18) return 0;
  const double a = std::fabs(value);
  if (!(a < 9.0e18 / static_cast<double>(POT10[d]))) return 0;
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
  std::uint64_t q;
  if (e >= 0) {
    q = static_cast<std::uint64_t>(n << e);
  } else if (-e >= 120) {
    q = 0;  // far below half a unit of the last decimal
  } else {
    const int s = -e;
    const u128 entero = n >> s;
    const u128 resto = n - (entero << s);
    const u128 mitad = static_cast<u128>(1) << (s - 1);
    q = static_cast<std::uint64_t>(entero);
    if (resto > mitad || (resto == mitad && (q & 1) != 0)) ++q;
  }
  char tmp[48];
  char* fin = tmp + sizeof tmp;
  char* p = digitos(q % POT10[d], d, fin);
  *--p = '.';
  p = digitos(q / POT10[d], 1, p);
  if (value < 0.0) *--p = '-';  // also when it rounds to zero
  const std::size_t length = static_cast<std::size_t>(fin - p);
  std::memcpy(body, p, length);
  return length;
}

}  // namespace

int put_I(char* out, long long value, int w) {
  char body[24];
  const auto r = std::to_chars(body, body + sizeof body, value);
  return right(out, body, static_cast<std::size_t>(r.ptr - body), w);
}

int put_F(char* out, double value, int w, int d) {
  if (w <= 0) return 0;
  if (!std::isfinite(value)) {
    std::memset(out, '*', static_cast<std::size_t>(w));
    return w;
  }
  if (d < 0) d = 0;
  if (value == 0.0) value = 0.0;  // no negative zero
  // The values of the result files: integer arithmetic on the exact value.
  char fast[48];
  if (const std::size_t length = fijo_exacto(value, d, fast); length != 0) return right(out, fast, length, w);
  // A double has at most 309 integer digits; the sign, the point and the
  // decimals follow. Short decimals need no heap.
  constexpr std::size_t SHORT = 400;
  const std::size_t need = 312 + static_cast<std::size_t>(d);
  char short_body[SHORT];
  std::vector<char> long_body;
  char* body = short_body;
  if (need > SHORT) {
    long_body.resize(need);
    body = long_body.data();
  }
  // The exact binary value rounded to d decimals, as the C library's %.*f.
  const auto r = std::to_chars(body, body + need, value, std::chars_format::fixed, d);
  std::size_t length = static_cast<std::size_t>(r.ptr - body);
  // The point is written also with no decimals after it (F5.0 of 12 is "  12.").
  if (d == 0) body[length++] = '.';
  return right(out, body, length, w);
}

std::string edit_I(long long value, int w) {
  std::string s(static_cast<std::size_t>(w > 0 ? w : 0), ' ');
  put_I(s.data(), value, w);
  return s;
}

std::string edit_F(double value, int w, int d) {
  std::string s(static_cast<std::size_t>(w > 0 ? w : 0), ' ');
  put_F(s.data(), value, w, d);
  return s;
}

RecordBuffer& RecordBuffer::F(double value, int w, int d) {
  if (w <= 0) return *this;
  const std::size_t at = text_.size();
  text_.resize(at + static_cast<std::size_t>(w));
  put_F(text_.data() + at, value, w, d);
  return *this;
}

RecordBuffer& RecordBuffer::I(long long value, int w) {
  if (w <= 0) return *this;
  const std::size_t at = text_.size();
  text_.resize(at + static_cast<std::size_t>(w));
  put_I(text_.data() + at, value, w);
  return *this;
}

std::string edit_A(std::string_view text) { return std::string(text); }

std::string edit_A(std::string_view text, int w) {
  if (w <= 0) return std::string();
  if (static_cast<int>(text.size()) >= w) return std::string(text.substr(0, static_cast<std::size_t>(w)));
  return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + std::string(text);
}

std::vector<std::string> reverted_records(const std::vector<std::string>& groups, std::size_t repeat) {
  if (repeat < 1) repeat = 1;
  std::vector<std::string> records;
  std::string record;
  std::size_t in_record = 0;
  for (const std::string& g : groups) {
    if (in_record == repeat) {
      records.push_back(std::move(record));
      record.clear();
      in_record = 0;
    }
    record += g;
    ++in_record;
  }
  records.push_back(std::move(record));
  return records;
}

const char* nombre_mes(int mes) {
  static const char* const MESES[12] = {"Oct", "Nov", "Dic", "Ene", "Feb", "Mar",
                                        "Abr", "May", "Jun", "Jul", "Ago", "Sep"};
  return (mes >= 1 && mes <= 12) ? MESES[mes - 1] : "???";
}

int anyo_calendario(int ANYOINICIAL, int anyo, int mes) { return mes <= 3 ? ANYOINICIAL + anyo - 1 : ANYOINICIAL + anyo; }

std::string etiqueta_fecha(int ANYOINICIAL, int anyo, int mes) {
  return std::string(nombre_mes(mes)) + "-" + std::to_string(anyo_calendario(ANYOINICIAL, anyo, mes));
}

}  // namespace tornal
