// Fixed-format edits and date labels (see fixed_format.h).
#include "common/fixed_format.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace tornal {

namespace {

std::string right(const std::string& body, int w) {
  if (w <= 0) return std::string();
  if (static_cast<int>(body.size()) > w) return std::string(static_cast<std::size_t>(w), '*');
  return std::string(static_cast<std::size_t>(w) - body.size(), ' ') + body;
}

}  // namespace

std::string edit_I(long long value, int w) { return right(std::to_string(value), w); }

std::string edit_F(double value, int w, int d) {
  if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(w > 0 ? w : 0), '*');
  if (d < 0) d = 0;
  if (value == 0.0) value = 0.0;  // no negative zero
  std::vector<char> buf(static_cast<std::size_t>(d) + 400);
  // The point is written also with no decimals after it (F5.0 of 12 is "  12.").
  std::snprintf(buf.data(), buf.size(), "%#.*f", d, value);
  return right(buf.data(), w);
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
