// Latin-1 texts and their conversions (see latin1.h).
#include "common/latin1.h"

namespace tornal {

std::string latin1(std::string_view utf8_text) {
  std::string out;
  out.reserve(utf8_text.size());
  for (std::size_t i = 0; i < utf8_text.size();) {
    unsigned char c = static_cast<unsigned char>(utf8_text[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    std::size_t extra = (c >= 0xF0) ? 3 : (c >= 0xE0) ? 2 : (c >= 0xC0) ? 1 : 0;
    unsigned long code = (extra == 3) ? (c & 0x07u) : (extra == 2) ? (c & 0x0Fu) : (c & 0x1Fu);
    bool valid = extra > 0;
    for (std::size_t k = 1; valid && k <= extra; ++k) {
      if (i + k >= utf8_text.size()) {
        valid = false;
        break;
      }
      unsigned char cc = static_cast<unsigned char>(utf8_text[i + k]);
      if ((cc & 0xC0u) != 0x80u) {
        valid = false;
        break;
      }
      code = (code << 6) | (cc & 0x3Fu);
    }
    if (!valid) {
      out.push_back('?');
      ++i;
      continue;
    }
    // An overlong form (C0 BA for ':') is no character of its own.
    static constexpr unsigned long kLeast[] = {0, 0x80, 0x800, 0x10000};
    out.push_back(code >= kLeast[extra] && code <= 0xFF ? static_cast<char>(code) : '?');
    i += extra + 1;
  }
  return out;
}

std::string utf8(std::string_view latin1_text) {
  std::string out;
  out.reserve(latin1_text.size());
  for (char ch : latin1_text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out.push_back(ch);
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string padded(std::string_view text, std::size_t length) {
  std::string out(text.substr(0, length));
  out.resize(length, ' ');
  return out;
}

std::string trimmed(std::string_view text) {
  std::size_t end = text.find_last_not_of(' ');
  if (end == std::string_view::npos) return std::string();
  return std::string(text.substr(0, end + 1));
}

}  // namespace tornal
