// Fixed-format edits of the result files: Iw, Fw.d, A and Aw, each giving the
// exact characters of its field; a value that does not fit fills the field
// with asterisks. Also the record reversion of a repeated group, and the
// date label of a month ("Oct-2000").
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tornal {

// The edits into a caller's buffer, which has room for w characters: they
// write exactly the field (nothing when w is 0 or less) and return its
// length. put_I is Iw and put_F is Fw.d, as edit_I and edit_F below, without
// the C library's printf and without a heap string.
int put_I(char* out, long long value, int w);
int put_F(char* out, double value, int w, int d);

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

// A record built in one buffer, field after field; the buffer is reused from
// one record to the next.
class RecordBuffer {
 public:
  void clear() { length_ = 0; }
  RecordBuffer& F(double value, int w, int d) {
    if (w > 0) put_F(room(static_cast<std::size_t>(w)), value, w, d);
    return *this;
  }
  RecordBuffer& I(long long value, int w) {
    if (w > 0) put_I(room(static_cast<std::size_t>(w)), value, w);
    return *this;
  }
  RecordBuffer& A(std::string_view text) {
    if (!text.empty()) std::memcpy(room(text.size()), text.data(), text.size());
    return *this;
  }
  RecordBuffer& A(char c) {
    *room(1) = c;
    return *this;
  }
  std::string_view text() const { return std::string_view(buffer_.data(), length_); }
  std::size_t size() const { return length_; }

 private:
  // n more characters at the end of the record.
  char* room(std::size_t n) {
    if (length_ + n > buffer_.size()) buffer_.resize(2 * (length_ + n) + 64);
    char* p = buffer_.data() + length_;
    length_ += n;
    return p;
  }
  std::string buffer_;
  std::size_t length_ = 0;
};

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
