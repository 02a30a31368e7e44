// Fixed-format edits and date labels (see fixed_format.h).
#include "common/fixed_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tornal {

namespace {

// The sink of asterisks of this thread; none unless a writer watches. The
// one state of the library outside the Modelo: the edits are called for
// every field of every file and cannot take the sink as an argument without
// burdening every caller, and only their rare branch that fills a field
// with asterisks reads it. One per thread, so that each worker thread of
// the ordered pipeline tells the buffer of the chunk it formats; a watch
// sets it for its scope and puts the one before it back, so nothing stays
// from one file or run to the next.
thread_local AsteriskSink* current_sink = nullptr;

}  // namespace

AsteriskWatch::AsteriskWatch(AsteriskSink& sink) noexcept : previous_(current_sink) { current_sink = &sink; }

AsteriskWatch::~AsteriskWatch() { current_sink = previous_; }

void asterisks_copied(const char* at, int w) noexcept {
  if (AsteriskSink* s = current_sink) s->asterisks(at, w);
}

[[gnu::cold]] [[gnu::noinline]] void fixed_format_detail::fill_asterisks(char* out, int w) noexcept {
  if (w <= 0) return;
  std::memset(out, '*', static_cast<std::size_t>(w));
  if (AsteriskSink* s = current_sink) s->asterisks(out, w);
}

namespace {

using fixed_format_detail::fill_asterisks;

// The field: `body` right-aligned in w characters, or w asterisks when it
// is longer.
int right(char* out, const char* body, std::size_t length, int w) {
  if (w <= 0) return 0;
  const std::size_t width = static_cast<std::size_t>(w);
  if (length > width) [[unlikely]] {
    fill_asterisks(out, w);
  } else {
    std::memset(out, ' ', width - length);
    std::memcpy(out + (width - length), body, length);
  }
  return w;
}

using fixed_format_detail::LIMITE;

// Fw.d of a finite value whose d-decimal rounding stays below 2^63 and with
// d at most 18, into body: the exact binary value m x 2^e times 10^d, in
// 128-bit integers, rounded to nearest with ties to even, as the C library
// rounds. The text is written right-aligned in [inicio, fin), over what the
// field holds; returns 1, 0 when it does not fit, -1 when the value is not
// of this kind (and nothing is written).
int fijo_exacto(double value, int d, char* inicio, char* fin) {
  if (d > 18) return -1;
  const double a = std::fabs(value);
  if (!(a < LIMITE[d])) return -1;
  std::uint64_t q = fixed_format_detail::escalado_exacto(a, d);
  // The d decimals, the point, then the integer digits (at least one) and
  // the sign, from the right.
  char* p = fin;
  for (int i = 0; i < d; ++i) {
    if (p == inicio) return 0;
    *--p = static_cast<char>('0' + q % 10);
    q /= 10;
  }
  if (p == inicio) return 0;
  *--p = '.';
  do {
    if (p == inicio) return 0;
    *--p = static_cast<char>('0' + q % 10);
    q /= 10;
  } while (q != 0);
  if (value < 0.0) {  // also when it rounds to zero
    if (p == inicio) return 0;
    *--p = '-';
  }
  return 1;
}

// w bytes from `from` to `out`, by moves of 8 bytes (the last one may go
// over bytes already moved) when there are 8 or more: no call to the C
// library for the short fields of the result files.
void mover(char* out, const char* from, int w) {
  if (w < 8) {
    for (int i = 0; i < w; ++i) out[i] = from[i];
    return;
  }
  int k = w;
  for (; k >= 8; k -= 8) std::memcpy(out + k - 8, from + k - 8, 8);
  if (k > 0) std::memcpy(out, from, 8);
}

// The widest field edited through the short path.
constexpr int CORTO = 40;
constexpr char BLANCOS[CORTO + 1] = "                                        ";

}  // namespace

int put_I(char* out, long long value, int w) {
  char body[24];
  const auto r = std::to_chars(body, body + sizeof body, value);
  return right(out, body, static_cast<std::size_t>(r.ptr - body), w);
}

int put_F(char* out, double value, int w, int d) {
  // The formats of the result files.
  if (w == 15 && d == 3) {
    put_F_fixed<15, 3>(out, value);
    return w;
  }
  if (w == 20 && d == 5) {
    put_F_fixed<20, 5>(out, value);
    return w;
  }
  if (w == 12 && d == 6) {
    put_F_fixed<12, 6>(out, value);
    return w;
  }
  return fixed_format_detail::put_F_general(out, value, w, d);
}

int fixed_format_detail::put_F_general(char* out, double value, int w, int d) {
  if (w <= 0) return 0;
  if (!std::isfinite(value)) {
    fill_asterisks(out, w);
    return w;
  }
  if (d < 0) d = 0;
  if (value == 0.0) value = 0.0;  // no negative zero
  // The values of the result files: integer arithmetic on the exact value,
  // the digits written over a field of blanks.
  if (w <= CORTO) {
    mover(out, BLANCOS, w);
    const int hecho = fijo_exacto(value, d, out, out + w);
    if (hecho == 0) [[unlikely]]
      fill_asterisks(out, w);
    if (hecho >= 0) return w;
  }
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

RevertedPlace reverted_place(std::size_t group, std::size_t repeat, std::size_t leading) {
  if (repeat < 1) repeat = 1;
  const std::size_t before = group < repeat ? leading : 0;
  return {static_cast<long>(group / repeat), static_cast<long>(before + group % repeat + 1)};
}

const char* nombre_mes(int mes) {
  static const char* const MESES[12] = {"Oct", "Nov", "Dic", "Ene", "Feb", "Mar",
                                        "Abr", "May", "Jun", "Jul", "Ago", "Sep"};
  return (mes >= 1 && mes <= 12) ? MESES[mes - 1] : "???";
}

int anyo_calendario(int ANYOINICIAL, int anyo, int mes) {
  return mes <= 3 ? ANYOINICIAL + anyo - 1 : ANYOINICIAL + anyo;
}

std::string etiqueta_fecha(int ANYOINICIAL, int anyo, int mes) {
  return std::string(nombre_mes(mes)) + "-" + std::to_string(anyo_calendario(ANYOINICIAL, anyo, mes));
}

}  // namespace tornal
