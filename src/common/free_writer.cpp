// The free-format writer, output files and the run log (see free_writer.h).
#include "common/free_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/latin1.h"
#include "common/stop.h"

namespace tornal {

FreeItem::FreeItem(const char* utf8_message) : kind_(Kind::Text), text_(latin1(utf8_message)) {}

std::string free_format_real(double value, int digits) {
  if (value == 0.0) value = 0.0;  // no negative zero
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value > 0 ? "Infinity" : "-Infinity");
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
  const char* e = std::strchr(buf, 'e');
  int exponent = e ? std::atoi(e + 1) : 0;
  std::string body;
  int width;
  if (value == 0.0 || (exponent >= -1 && exponent < digits)) {
    int decimals = value == 0.0 ? digits - 1 : digits - 1 - exponent;
    // The point is kept when no decimals follow it (123456792.): a real
    // never reads as an integer.
    std::snprintf(buf, sizeof buf, "%#.*f", decimals, value);
    body = buf;
    width = digits + 3;
    std::string field =
        body.size() < static_cast<std::size_t>(width) ? std::string(width - body.size(), ' ') + body : body;
    return field + "    ";
  }
  std::snprintf(buf, sizeof buf, "%.*E", digits - 1, value);
  body = buf;
  // Two exponent digits at least, as the C library writes them already.
  width = digits + 7;
  return body.size() < static_cast<std::size_t>(width) ? std::string(width - body.size(), ' ') + body : body;
}

std::string FreeItem::render() const {
  switch (kind_) {
    case Kind::Text:
      return text_;
    case Kind::Integer: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%12lld", integer_);
      return buf;
    }
    case Kind::Single:
      return free_format_real(static_cast<float>(real_), 9);
    case Kind::Double:
      return free_format_real(real_, 17);
  }
  return std::string();
}

std::vector<std::string> free_format_lines(const std::vector<FreeItem>& items) {
  constexpr std::size_t kLine = 80;
  constexpr std::size_t kPiece = 79;
  constexpr std::size_t kIntegerWidth = 12;
  std::vector<std::string> lines;
  std::string line = " ";
  bool after_integer = false;
  for (const FreeItem& item : items) {
    std::string s = item.render();
    const bool text = item.kind() == FreeItem::Kind::Text;
    // One blank stands between an integer and a text that follows it.
    if (text && after_integer && s.size() <= kPiece) s.insert(0, 1, ' ');
    after_integer = item.kind() == FreeItem::Kind::Integer;
    if (text && s.size() > kPiece) {
      if (line.size() > 1) lines.push_back(line);
      std::size_t pos = 0;
      while (s.size() - pos > kPiece) {
        lines.push_back(" " + s.substr(pos, kPiece));
        pos += kPiece;
      }
      line = " " + s.substr(pos);
      continue;
    }
    if (line.size() + s.size() > kLine && line.size() > 1) {
      lines.push_back(line);
      line = " ";
    }
    // An integer that opens a line takes the line's leading blank as the
    // first blank of its field.
    if (line.size() == 1 && item.kind() == FreeItem::Kind::Integer && s.size() == kIntegerWidth && s[0] == ' ')
      line.clear();
    line += s;
  }
  lines.push_back(line);
  return lines;
}

std::vector<std::string> free_format_lines(std::initializer_list<FreeItem> items) {
  return free_format_lines(std::vector<FreeItem>(items));
}

bool OutputFile::open(const std::string& path) {
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(BUFFER);
  // The buffer is handed over before the file is opened, when the stream
  // still takes it.
  if (!out_.is_open()) out_.rdbuf()->pubsetbuf(buffer_.get(), BUFFER);
  out_.open(path, std::ios::binary | std::ios::out | std::ios::trunc);
  lines_ = 0;
  return out_.is_open();
}

bool OutputFile::open_append(const std::string& path) {
  out_.open(path, std::ios::binary | std::ios::out | std::ios::app);
  lines_ = 0;
  return out_.is_open();
}

bool OutputFile::line(std::string_view latin1_text) {
  if (!out_.is_open()) return false;
  ++lines_;
  // Straight into the stream's buffer; a short write marks the stream bad.
  std::streambuf& b = *out_.rdbuf();
  const auto n = static_cast<std::streamsize>(latin1_text.size());
  if (b.sputn(latin1_text.data(), n) != n || b.sputn("\r\n", 2) != 2) out_.setstate(std::ios::badbit);
  return out_.good();
}

bool OutputFile::bytes(std::string_view latin1_bytes) {
  if (!out_.is_open()) return false;
  const auto n = static_cast<std::streamsize>(latin1_bytes.size());
  if (n > 0 && out_.rdbuf()->sputn(latin1_bytes.data(), n) != n) out_.setstate(std::ios::badbit);
  return out_.good();
}

bool OutputFile::write_free(const std::vector<FreeItem>& items) {
  bool ok = true;
  for (const std::string& l : free_format_lines(items)) ok = line(l) && ok;
  return ok;
}

bool OutputFile::write_free(std::initializer_list<FreeItem> items) { return write_free(std::vector<FreeItem>(items)); }

bool OutputFile::flush() {
  if (!out_.is_open()) return false;
  out_.flush();
  return out_.good();
}

bool OutputFile::close() {
  if (!out_.is_open()) return true;
  out_.flush();
  bool ok = out_.good();
  out_.close();
  return ok && !out_.fail();
}

bool RunLog::open_append(const std::string& path) {
  path_ = path;
  memory_ = false;
  open_ = file_.open_append(path);
  return open_;
}

void RunLog::open_memory() {
  memory_ = true;
  open_ = true;
}

void RunLog::put(const std::vector<std::string>& lines) {
  for (const std::string& l : lines) {
    lines_.push_back(l);
    if (open_ && !memory_ && !file_.line(l)) {
      open_ = false;
      stop("Error al escribir en el archivo de registro " + utf8(trimmed(path_)));
    }
  }
}

void RunLog::write(const std::vector<FreeItem>& items) { put(free_format_lines(items)); }

void RunLog::write(std::initializer_list<FreeItem> items) { put(free_format_lines(items)); }

void RunLog::flush() {
  if (open_ && !memory_ && !file_.flush()) {
    open_ = false;
    stop("Error al escribir en el archivo de registro " + utf8(trimmed(path_)));
  }
}

void RunLog::close() {
  if (open_ && !memory_) {
    open_ = false;
    if (!file_.close()) stop("Error al escribir en el archivo de registro " + utf8(trimmed(path_)));
  }
  open_ = false;
}

}  // namespace tornal
