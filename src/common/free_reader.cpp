// The free-format record reader and the tagged-line reader (see free_reader.h).
#include "common/free_reader.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

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
bool parse_real(const std::string& s, double& value) {
  std::size_t i = 0;
  std::string norm;
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
  char* end = nullptr;
  double v = std::strtod(norm.c_str(), &end);
  if (end == nullptr || *end != '\0') return false;
  value = v;
  return true;
}

}  // namespace

bool FreeReader::open(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return false;
  set_text(content.str());
  return true;
}

void FreeReader::set_text(const std::string& content) {
  lines_.clear();
  next_line_ = 0;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    std::string line = content.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(line);
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

bool file_exists(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return static_cast<bool>(in);
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

void Statement::parse_quoted(const std::string& line, Token& token) {
  const char quote = line[col_];
  ++col_;
  token.null = false;
  token.quoted = true;
  token.text.clear();
  while (col_ < line.size()) {
    char c = line[col_];
    if (c == quote) {
      if (col_ + 1 < line.size() && line[col_ + 1] == quote) {
        token.text.push_back(quote);
        col_ += 2;
        continue;
      }
      ++col_;
      return;
    }
    token.text.push_back(c);
    ++col_;
  }
  // A quote left open ends at the end of its line.
}

// After a value: its separator on the same line (blanks and at most one
// comma) belongs to it; a slash is left for the next item to see.
void Statement::after_value(const std::string& line) {
  while (col_ < line.size() && is_blank(line[col_])) ++col_;
  if (col_ < line.size() && line[col_] == ',') ++col_;
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
      token = Token{};
      return true;
    }
    if (c == '/') {
      slash_ = true;
      return false;
    }
    if (c == '\'' || c == '"') {
      parse_quoted(line, token);
      after_value(line);
      return true;
    }
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
        if (star + 1 < word.size() && (word[star + 1] == '\'' || word[star + 1] == '"')) {
          col_ = start + star + 1;
          parse_quoted(line, value);
        } else if (star + 1 < word.size()) {
          value.null = false;
          value.text = word.substr(star + 1);
        }
        after_value(line);
        token = value;
        repeat_token_ = value;
        repeat_left_ = count - 1;
        return true;
      }
    }
    token = Token{};
    token.null = false;
    token.text = word;
    after_value(line);
    return true;
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
  double v = 0.0;
  if (t.quoted || !parse_real(t.text, v)) {
    status_ = ReadStatus::Error;
    return *this;
  }
  value = v;
  return *this;
}

Statement& Statement::real(float& value) {
  Token t;
  if (!next(t) || t.null) return *this;
  double check = 0.0;
  if (t.quoted || !parse_real(t.text, check)) {
    status_ = ReadStatus::Error;
    return *this;
  }
  // Read straight to single precision, as a single-precision item is read.
  std::string norm = t.text;
  for (char& c : norm)
    if (c == 'd' || c == 'D' || c == 'q' || c == 'Q') c = 'e';
  char* end = nullptr;
  float v = std::strtof(norm.c_str(), &end);
  if (end == nullptr || *end != '\0') v = static_cast<float>(check);
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
