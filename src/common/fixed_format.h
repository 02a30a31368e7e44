// Fixed-format edits of the result files: Iw, Fw.d, A and Aw, each giving the
// exact characters of its field; a value that does not fit fills the field
// with asterisks. Also the record reversion of a repeated group, and the
// date label of a month ("Oct-2000").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tornal {

// Iw: right-aligned in w characters, a minus sign before a negative value.
std::string edit_I(long long value, int w);
// Fw.d: rounded to d decimals, right-aligned in w characters, a 0 before the
// point below 1; zero without sign, a negative value that rounds to zero
// keeps its minus sign.
std::string edit_F(double value, int w, int d);
// A: the text as handed over. Aw: its leftmost w characters, or the text
// preceded by blanks up to w.
std::string edit_A(std::string_view text);
std::string edit_A(std::string_view text, int w);

// Record reversion of a format made of one group repeated up to `repeat`
// times: `groups` holds each use of the group already edited (for
// "5000(F20.5,A1)" one value and its TAB); every `repeat` uses the record
// ends and the next one begins. A write of no item still gives one empty
// record. `repeat` below 1 counts as 1.
std::vector<std::string> reverted_records(const std::vector<std::string>& groups, std::size_t repeat);

// The three letters of month 1 (October) to 12 (September).
const char* nombre_mes(int mes);
// The calendar year of month `mes` (1 = October) of hydrological year
// `anyo` (1 = the first): ANYOINICIAL + anyo - 1 for October to December,
// ANYOINICIAL + anyo for January to September.
int anyo_calendario(int ANYOINICIAL, int anyo, int mes);
// "Oct-2000" .. "Sep-2001".
std::string etiqueta_fecha(int ANYOINICIAL, int anyo, int mes);

}  // namespace tornal
