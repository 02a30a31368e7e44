// The free-format record reader and the tagged-line reader (see free_reader.h).
#include "common/free_reader.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <type_traits>

#include "common/array.h"
#include "common/latin1.h"

namespace tornal {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool ends_word(char c) { return is_blank(c) || c == ',' || c == '/'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// An integer item: an optional sign and digits, inside 32 bits.
bool parse_integer(std::string_view s, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return false;
  // The magnitude stops growing once past every 32-bit integer's.
  long long v = 0;
  for (std::size_t k = i; k < s.size(); ++k) {
    if (!is_digit(s[k])) return false;
    if (v <= 2147483648LL) v = 10 * v + (s[k] - '0');
  }
  if (negative) v = -v;
  if (v > INT_MAX || v < INT_MIN) return false;
  value = static_cast<int>(v);
  return true;
}

// The repeat count of a word whose first star stands at `star` (above 0):
// the number that the digits before it spell, 0 where they spell none that
// a repeat count may be (0, or more than 9 digits); -1 where what stands
// before the star is no number, so that the word is a value of its own.
long repeat_count(std::string_view word, std::size_t star) {
  long n = 0;
  for (std::size_t k = 0; k < star; ++k) {
    if (!is_digit(word[k])) return -1;
    if (k < 9) n = 10 * n + (word[k] - '0');
  }
  return star > 9 ? 0 : n;
}

// The values that a word can supply: the copies of its repeat count, as
// Statement::scan reads it, else one.
unsigned long long values_in_word(std::string_view word) {
  const std::size_t star = word.find('*');
  if (star == 0 || star == std::string_view::npos) return 1;
  const long n = repeat_count(word, star);
  return n > 0 ? static_cast<unsigned long long>(n) : 1;
}

// The values that a line can stand for at most: every word and every comma
// (a null item) counts, a word with a repeat count its copies. A slash ends
// a statement with its values unread, which keep what they held: a line with
// a slash can stand for any number of values. Quotes are not followed: a
// quoted text counts once at least, which is all the bound needs.
unsigned long long values_in_line(std::string_view line, unsigned long long most) {
  if (line.find('/') != std::string_view::npos) return most;
  unsigned long long n = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    if (ends_word(line[i])) {
      if (line[i] == ',') ++n;
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < line.size() && !ends_word(line[i])) ++i;
    n += values_in_word(line.substr(start, i - start));
  }
  return std::min(n, most);
}

// A real item: [sign] digits [. digits] [E|D|Q [sign] digits], or an
// exponent given by its sign alone (1.0+5), as list-directed input reads them.
struct RealItem {
  bool negative = false;
  bool plus = false;               // a leading plus sign
  bool plain = false;              // spelled as std::from_chars reads it
  std::size_t mantissa_end = 0;    // where the digits and point end
  std::size_t exponent = 0;        // the exponent's sign or first digit
  std::uint64_t digits_value = 0;  // the digits as an integer, when exact
  bool digits_exact = true;        // at most 19 digits
  long point_shift = 0;            // digits after the point
  long exponent_value = 0;         // the written exponent, bounded
};

bool scan_real(std::string_view s, RealItem& r) {
  std::size_t i = 0;
  r.plus = i < s.size() && s[i] == '+';
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) r.negative = s[i++] == '-';
  std::size_t digits = 0;
  while (i < s.size() && is_digit(s[i])) {
    if (++digits > 19) r.digits_exact = false;
    r.digits_value = 10 * r.digits_value + static_cast<std::uint64_t>(s[i++] - '0');
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && is_digit(s[i])) {
      if (++digits > 19) r.digits_exact = false;
      r.digits_value = 10 * r.digits_value + static_cast<std::uint64_t>(s[i++] - '0');
      ++r.point_shift;
    }
  }
  if (digits == 0) return false;
  r.mantissa_end = i;
  r.plain = !r.plus;
  r.exponent = i;
  if (i < s.size()) {
    char c = s[i];
    if (c == 'e' || c == 'E') {
      ++i;
    } else if (c == 'd' || c == 'D' || c == 'q' || c == 'Q') {
      ++i;
      r.plain = false;
    } else if (c == '+' || c == '-') {
      r.plain = false;
    } else {
      return false;
    }
    r.exponent = i;
    bool exponent_negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) exponent_negative = s[i++] == '-';
    std::size_t exp_digits = 0;
    while (i < s.size() && is_digit(s[i])) {
      if (r.exponent_value < 100000) r.exponent_value = 10 * r.exponent_value + (s[i] - '0');
      ++i;
      ++exp_digits;
    }
    if (exp_digits == 0 || i != s.size()) return false;
    if (exponent_negative) r.exponent_value = -r.exponent_value;
  }
  return true;
}

// The item in the spelling of std::from_chars (no leading plus, an exponent
// after an e): the item itself when it is so spelled, else `norm` made so.
std::string_view spelled_real(std::string_view s, const RealItem& r, std::string& norm) {
  if (r.plain) return s;
  const std::size_t from = r.plus ? 1 : 0;
  norm.assign(s.substr(from, r.mantissa_end - from));
  if (r.exponent < s.size()) {
    norm.push_back('e');
    norm.append(s.substr(r.exponent));
  }
  return norm;
}

// A value whose digits and power of ten are both exact doubles is one
// correctly rounded product or quotient of the two: the value the C library
// reads from it.
bool exact_quotient(const RealItem& r, double& v) {
  static constexpr double POWERS[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (!r.digits_exact || r.digits_value > (std::uint64_t{1} << 53)) return false;
  const long e = r.exponent_value - r.point_shift;
  if (e < -22 || e > 22) return false;
  const double m = static_cast<double>(r.digits_value);
  v = e < 0 ? m / POWERS[-e] : m * POWERS[e];
  if (r.negative) v = -v;
  return true;
}

double c_library_value(const std::string& spelled, double) { return std::strtod(spelled.c_str(), nullptr); }
float c_library_value(const std::string& spelled, float) { return std::strtof(spelled.c_str(), nullptr); }

// The value of a real item, correctly rounded as the C library reads it.
// std::from_chars refuses a value beyond the range of the type and one that
// underflows to zero: the C library gives those (infinity, zero or the
// smallest denormal), as it does every other value.
template <typename T>
T real_value(std::string_view s, const RealItem& r, std::string& norm) {
  if constexpr (std::is_same_v<T, double>) {
    double v = 0;
    if (exact_quotient(r, v)) return v;
  }
  const std::string_view spelled = spelled_real(s, r, norm);
  T v{};
  const char* end = spelled.data() + spelled.size();
  const auto [ptr, ec] = std::from_chars(spelled.data(), end, v);
  if (ec == std::errc() && ptr == end) return v;
  return c_library_value(std::string(spelled), T{});
}

}  // namespace

// A folder opens as an empty stream on some systems: it is no file to read.
bool is_folder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

void TextRelease::operator()(char* block) const noexcept { array_storage_release(block, bytes); }

void FreeReader::reserve_text(std::size_t bytes, std::size_t keep) {
  if (text_ && text_.get_deleter().bytes >= bytes) return;
  std::unique_ptr<char[], TextRelease> block(static_cast<char*>(array_storage_allocate(bytes)), TextRelease{bytes});
  if (keep > 0) std::memcpy(block.get(), text_.get(), keep);
  text_ = std::move(block);
}

bool FreeReader::open(const std::string& path) {
  if (is_folder(path)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  // The whole file in one piece; its lines are indexed, not copied.
  text_size_ = 0;
  lines_.clear();
  next_line_ = 0;
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  // One byte more than the size, so that a file read whole meets its end.
  std::size_t chunk = !ec && size < (std::uintmax_t{1} << 40) ? static_cast<std::size_t>(size) + 1 : 65536;
  for (;;) {
    reserve_text(text_size_ + chunk, text_size_);
    in.read(text_.get() + text_size_, static_cast<std::streamsize>(chunk));
    text_size_ += static_cast<std::size_t>(in.gcount());
    if (!in) break;
    chunk = std::max<std::size_t>(65536, text_size_);
  }
  index_lines();
  return !in.bad();
}

void FreeReader::set_text(const std::string& content) {
  text_size_ = 0;
  reserve_text(content.size() + 1, 0);
  std::memcpy(text_.get(), content.data(), content.size());
  text_size_ = content.size();
  next_line_ = 0;
  index_lines();
}

void FreeReader::index_lines() {
  lines_.clear();
  characters_from_.clear();
  values_from_.clear();
  const char* data = text_.get();
  const std::size_t size = text_size_;
  std::size_t start = 0;
  while (start < size) {
    const void* lf = std::memchr(data + start, '\n', size - start);
    const std::size_t end = lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
    std::size_t stop = end;
    if (stop > start && data[stop - 1] == '\r') --stop;
    lines_.push_back({start, stop - start});
    if (lf == nullptr) break;
    start = end + 1;
  }
}

std::optional<std::string> FreeReader::first_word(std::size_t length) {
  std::string word = blanks(length);
  Statement st(*this);
  st.text(word, length);
  if (st.finish() == ReadStatus::EndOfFile) return std::nullopt;
  return word;
}

void FreeReader::count_rest() const {
  if (!characters_from_.empty()) return;
  // The sums stop growing far beyond any count of 32 bits.
  constexpr unsigned long long MOST = 1ULL << 62;
  characters_from_.assign(lines_.size() + 1, 0);
  values_from_.assign(lines_.size() + 1, 0);
  for (std::size_t k = lines_.size(); k-- > 0;) {
    characters_from_[k] = characters_from_[k + 1] + lines_[k].length + 1;
    values_from_[k] = std::min(MOST, values_from_[k + 1] + values_in_line(line(k), MOST));
  }
}

std::size_t FreeReader::characters_left() const {
  if (at_end()) return 0;
  count_rest();
  return static_cast<std::size_t>(characters_from_[next_line_]);
}

unsigned long long FreeReader::values_left() const {
  if (at_end()) return 0;
  count_rest();
  return values_from_[next_line_];
}

bool FreeReader::can_supply(long long values) const {
  return values <= 0 || static_cast<unsigned long long>(values) <= values_left();
}

bool FreeReader::can_hold(long long values) const {
  return values <= REPEATED_VALUES_HELD || static_cast<unsigned long long>(values) <= characters_left();
}

bool file_exists(const std::string& path) {
  if (is_folder(path)) return false;
  std::ifstream in(path, std::ios::binary);
  return static_cast<bool>(in);
}

bool name_exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::optional<long long> file_line_count(const std::string& path) {
  if (is_folder(path)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // The line ends, and a last line without one: counted as the file is
  // read, never held.
  constexpr std::size_t CHUNK = 65536;
  const std::unique_ptr<char[]> buffer(new char[CHUNK]);
  long long lines = 0;
  char last = '\n';
  for (;;) {
    in.read(buffer.get(), static_cast<std::streamsize>(CHUNK));
    const std::size_t got = static_cast<std::size_t>(in.gcount());
    const char* const end = buffer.get() + got;
    for (const char* p = buffer.get(); (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p)
      ++lines;
    if (got > 0) last = buffer[got - 1];
    if (!in) break;
  }
  if (in.bad()) return std::nullopt;
  return lines + (last != '\n' ? 1 : 0);
}

Statement::Statement(FreeReader& reader) : reader_(reader), line_(reader.next_line_) {}

Statement::~Statement() { finish(); }

ReadStatus Statement::finish() {
  if (finished_) return status_;
  finished_ = true;
  const std::size_t count = reader_.lines_.size();
  if (!touched_) {
    // A heading: exactly one line, whatever it holds.
    if (line_ >= count) {
      status_ = ReadStatus::EndOfFile;
      reader_.next_line_ = count;
    } else {
      reader_.next_line_ = line_ + 1;
    }
    return status_;
  }
  reader_.next_line_ = line_ >= count ? count : line_ + 1;
  return status_;
}

// A quoted text from the quote under the cursor to its closing quote; a
// doubled quote stands for one. The text may go on over further lines, a
// line end adding nothing to it. False (end of file) when it never closes.
bool Statement::read_quoted(Token& token) {
  const std::size_t count = reader_.lines_.size();
  const char quote = reader_.line(line_)[col_++];
  quoted_.clear();
  for (;;) {
    const std::string_view line = reader_.line(line_);
    while (col_ < line.size()) {
      char c = line[col_++];
      if (c == quote) {
        if (col_ < line.size() && line[col_] == quote) {
          quoted_.push_back(quote);
          ++col_;
          continue;
        }
        token.null = false;
        token.quoted = true;
        token.text = quoted_;
        return true;
      }
      quoted_.push_back(c);
    }
    ++line_;
    col_ = 0;
    if (line_ >= count) {
      status_ = ReadStatus::EndOfFile;
      return false;
    }
  }
}

// After a value: its separator on the same line (blanks and at most one
// comma) belongs to it; a slash is left for the next item to see. When the
// line ends before a comma, a comma that comes first on a later line is still
// this separator, not a null item. A closing quote must be followed by a
// separator: anything else is an error.
bool Statement::after_value(bool quoted) {
  const std::string_view line = reader_.line(line_);
  if (quoted && col_ < line.size() && !ends_word(line[col_])) {
    status_ = ReadStatus::Error;
    return false;
  }
  while (col_ < line.size() && is_blank(line[col_])) ++col_;
  comma_pending_ = true;
  if (col_ < line.size() && line[col_] == ',') {
    ++col_;
    comma_pending_ = false;
  }
  return true;
}

bool Statement::scan(Token& token) {
  const std::size_t count = reader_.lines_.size();
  for (;;) {
    if (line_ >= count) {
      status_ = ReadStatus::EndOfFile;
      return false;
    }
    const std::string_view line = reader_.line(line_);
    while (col_ < line.size() && is_blank(line[col_])) ++col_;
    if (col_ >= line.size()) {
      ++line_;
      col_ = 0;
      continue;
    }
    char c = line[col_];
    if (c == ',') {
      ++col_;
      if (comma_pending_) {
        comma_pending_ = false;
        continue;
      }
      token = Token{};
      return true;
    }
    if (c == '/') {
      slash_ = true;
      return false;
    }
    if (c == '\'' || c == '"') return read_quoted(token) && after_value(true);
    const std::size_t start = col_;
    std::size_t star = std::string_view::npos;
    for (; col_ < line.size() && !ends_word(line[col_]); ++col_)
      if (line[col_] == '*' && star == std::string_view::npos) star = col_ - start;
    const std::string_view word = line.substr(start, col_ - start);
    // A repeat count: digits and a star in front of the value.
    if (star != std::string_view::npos && star > 0) {
      const long count_value = repeat_count(word, star);
      if (count_value >= 0) {
        if (count_value == 0) {
          status_ = ReadStatus::Error;
          return false;
        }
        Token value;
        bool quoted = star + 1 < word.size() && (word[star + 1] == '\'' || word[star + 1] == '"');
        if (quoted) {
          col_ = start + star + 1;
          if (!read_quoted(value)) return false;
        } else if (star + 1 < word.size()) {
          value.null = false;
          value.text = word.substr(star + 1);
        }
        if (!after_value(quoted)) return false;
        token = value;
        repeat_token_ = value;
        repeat_left_ = count_value - 1;
        return true;
      }
    }
    token.null = false;
    token.quoted = false;
    token.text = word;
    return after_value(false);
  }
}

bool Statement::next(Token& token) {
  touched_ = true;
  if (finished_ || status_ != ReadStatus::Ok || slash_) return false;
  if (repeat_left_ > 0) {
    --repeat_left_;
    token = repeat_token_;
    return true;
  }
  return scan(token);
}

Statement& Statement::integer(int& value) {
  Token t;
  if (!next(t) || t.null) return *this;
  int v = 0;
  if (t.quoted || !parse_integer(t.text, v)) {
    status_ = ReadStatus::Error;
    return *this;
  }
  value = v;
  return *this;
}

long long Statement::integers(int& value, bool& null, long long most) {
  null = false;
  Token t;
  if (most <= 0 || !next(t)) return 0;
  const long long copies = std::min<long long>(repeat_left_, most - 1);
  repeat_left_ -= copies;
  if (t.null) {
    null = true;
    return 1 + copies;
  }
  int v = 0;
  if (t.quoted || !parse_integer(t.text, v)) {
    status_ = ReadStatus::Error;
    return 0;
  }
  value = v;
  return 1 + copies;
}

// The next item when it is the commonest one, a word on the line under the
// cursor: no repeat pending, and the word opens with no comma, slash or
// quote and holds no star. It is taken as scan() takes it, separator
// included. False when the item is another (the statement is left as it was).
bool Statement::plain_word(std::string_view& word) {
  if (repeat_left_ != 0 || status_ != ReadStatus::Ok || slash_ || finished_ || line_ >= reader_.lines_.size())
    return false;
  const std::string_view line = reader_.line(line_);
  std::size_t start = col_;
  while (start < line.size() && is_blank(line[start])) ++start;
  if (start >= line.size()) return false;
  const char c = line[start];
  if (c == ',' || c == '/' || c == '\'' || c == '"') return false;
  std::size_t end = start;
  for (; end < line.size() && !ends_word(line[end]); ++end)
    if (line[end] == '*') return false;
  touched_ = true;
  col_ = end;
  word = line.substr(start, end - start);
  return after_value(false);
}

Statement& Statement::real(double& value) {
  std::string_view word;
  if (!plain_word(word)) {
    Token t;
    if (!next(t) || t.null) return *this;
    if (t.quoted) {
      status_ = ReadStatus::Error;
      return *this;
    }
    word = t.text;
  }
  RealItem r;
  if (!scan_real(word, r)) {
    status_ = ReadStatus::Error;
    return *this;
  }
  // A value beyond the range of double would be read as infinity: it is no
  // number the run can use.
  const double v = real_value<double>(word, r, reader_.number_);
  if (!std::isfinite(v)) {
    status_ = ReadStatus::Error;
    return *this;
  }
  value = v;
  return *this;
}

Statement& Statement::real(float& value) {
  Token t;
  if (!next(t) || t.null) return *this;
  RealItem r;
  if (t.quoted || !scan_real(t.text, r)) {
    status_ = ReadStatus::Error;
    return *this;
  }
  // Read straight to single precision, as a single-precision item is read:
  // through double first, a value near a midpoint could round twice.
  const float v = real_value<float>(t.text, r, reader_.number_);
  if (!std::isfinite(v)) {
    status_ = ReadStatus::Error;
    return *this;
  }
  value = v;
  return *this;
}

Statement& Statement::text(std::string& value, std::size_t length) {
  Token t;
  if (!next(t) || t.null) return *this;
  // In place: the text cut or filled with blanks to its length.
  value.assign(t.text.substr(0, length));
  value.resize(length, ' ');
  return *this;
}

Statement& Statement::skip() {
  Token t;
  next(t);
  return *this;
}

}  // namespace tornal
