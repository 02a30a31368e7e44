// The free-format record reader and the tagged-line reader (see free_reader.h).
#include "common/free_reader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/latin1.h"

namespace tornal {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool ends_word(char c) { return is_blank(c) || c == ',' || c == '/'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// An integer item: an optional sign and digits, inside 32 bits.
bool parse_integer(const std::string& s, int& value) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  if (i == s.size()) return false;
  for (std::size_t k = i; k < s.size(); ++k)
    if (!is_digit(s[k])) return false;
  errno = 0;
  long long v = std::strtoll(s.c_str(), nullptr, 10);
  if (errno == ERANGE || v > INT_MAX || v < INT_MIN) return false;
  value = static_cast<int>(v);
  return true;
}

// A real item: [sign] digits [. digits] [E|D|Q [sign] digits], or an
// exponent given by its sign alone (1.0+5), as list-directed input reads them.
// On success `norm` holds the item in the C library's spelling, so that a
// single-precision item is read straight to single precision.
bool normalize_real(const std::string& s, std::string& norm) {
  std::size_t i = 0;
  norm.clear();
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm.push_back(s[i++]);
  std::size_t digits = 0;
  while (i < s.size() && is_digit(s[i])) {
    norm.push_back(s[i++]);
    ++digits;
  }
  if (i < s.size() && s[i] == '.') {
    norm.push_back(s[i++]);
    while (i < s.size() && is_digit(s[i])) {
      norm.push_back(s[i++]);
      ++digits;
    }
  }
  if (digits == 0) return false;
  if (i < s.size()) {
    char c = s[i];
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D' || c == 'q' || c == 'Q') {
      ++i;
    } else if (c != '+' && c != '-') {
      return false;
    }
    norm.push_back('e');
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm.push_back(s[i++]);
    std::size_t exp_digits = 0;
    while (i < s.size() && is_digit(s[i])) {
      norm.push_back(s[i++]);
      ++exp_digits;
    }
    if (exp_digits == 0 || i != s.size()) return false;
  }
  return true;
}

}  // namespace

// A folder opens as an empty stream on some systems: it is no file to read.
bool is_folder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

bool FreeReader::open(const std::string& path) {
  if (is_folder(path)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  // Line by line straight into the reader's lines: the file is held once.
  lines_.clear();
  next_line_ = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t length = line.size();
    lines_.push_back(std::move(line));
    line = std::string();
    line.reserve(length);  // lines of one file are much alike
  }
  return !in.bad();
}

void FreeReader::set_text(const std::string& content) {
  lines_.clear();
  next_line_ = 0;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t end = content.find('\n', start);
    std::size_t stop = end == std::string::npos ? content.size() : end;
    if (stop > start && content[stop - 1] == '\r') --stop;
    lines_.emplace_back(content, start, stop - start);
    if (end == std::string::npos) break;
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

std::size_t FreeReader::characters_left() const {
  std::size_t n = 0;
  for (std::size_t k = next_line_; k < lines_.size(); ++k) n += lines_[k].size() + 1;
  return n;
}

bool file_exists(const std::string& path) {
  if (is_folder(path)) return false;
  std::ifstream in(path, std::ios::binary);
  return static_cast<bool>(in);
}

std::optional<long long> file_line_count(const std::string& path) {
  FreeReader rd;
  if (!rd.open(path)) return std::nullopt;
  return static_cast<long long>(rd.line_count());
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
  const auto& lines = reader_.lines_;
  const char quote = lines[line_][col_++];
  token = Token{};
  token.null = false;
  token.quoted = true;
  for (;;) {
    const std::string& line = lines[line_];
    while (col_ < line.size()) {
      char c = line[col_++];
      if (c == quote) {
        if (col_ < line.size() && line[col_] == quote) {
          token.text.push_back(quote);
          ++col_;
          continue;
        }
        return true;
      }
      token.text.push_back(c);
    }
    ++line_;
    col_ = 0;
    if (line_ >= lines.size()) {
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
  const std::string& line = reader_.lines_[line_];
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
  const auto& lines = reader_.lines_;
  for (;;) {
    if (line_ >= lines.size()) {
      status_ = ReadStatus::EndOfFile;
      return false;
    }
    const std::string& line = lines[line_];
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
    std::size_t start = col_;
    while (col_ < line.size() && !ends_word(line[col_])) ++col_;
    std::string word = line.substr(start, col_ - start);
    // A repeat count: digits and a star in front of the value.
    std::size_t star = word.find('*');
    if (star != std::string::npos && star > 0) {
      bool all_digits = true;
      for (std::size_t k = 0; k < star; ++k)
        if (!is_digit(word[k])) all_digits = false;
      if (all_digits) {
        long count = std::strtol(word.substr(0, star).c_str(), nullptr, 10);
        if (count <= 0 || star > 9) {
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
        repeat_left_ = count - 1;
        return true;
      }
    }
    token = Token{};
    token.null = false;
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

Statement& Statement::real(double& value) {
  Token t;
  if (!next(t) || t.null) return *this;
  std::string norm;
  if (t.quoted || !normalize_real(t.text, norm)) {
    status_ = ReadStatus::Error;
    return *this;
  }
  // A value beyond the range of double would be read as infinity: it is no
  // number the run can use.
  const double v = std::strtod(norm.c_str(), nullptr);
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
  std::string norm;
  if (t.quoted || !normalize_real(t.text, norm)) {
    status_ = ReadStatus::Error;
    return *this;
  }
  // Read straight to single precision, as a single-precision item is read:
  // through double first, a value near a midpoint could round twice.
  const float v = std::strtof(norm.c_str(), nullptr);
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
  value = padded(t.text, length);
  return *this;
}

Statement& Statement::skip() {
  Token t;
  next(t);
  return *this;
}

}  // namespace tornal
