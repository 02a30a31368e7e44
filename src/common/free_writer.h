// The free-format writer: the run log and every line the system writes "in
// free format". Each statement begins a new line with one blank; texts are
// written at their full length (trailing blanks included), integers in a
// field of 12 (with one blank between an integer and a text that follows
// it), reals with 9 (single precision) or 17 (double precision)
// significant digits; a line holds at most 80 characters, and a text longer
// than 79 is cut in pieces of 79, each on a line of its own.
#pragma once

#include <fstream>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace tornal {

// One item of a free-format statement.
class FreeItem {
 public:
  enum class Kind { Text, Integer, Single, Double };
  // A message of the system, written in the sources as UTF-8.
  FreeItem(const char* utf8_message);
  // A text as it stands in the data: Latin-1 bytes.
  FreeItem(const std::string& latin1_text) : kind_(Kind::Text), text_(latin1_text) {}
  FreeItem(int value) : kind_(Kind::Integer), integer_(value) {}
  FreeItem(long value) : kind_(Kind::Integer), integer_(value) {}
  FreeItem(long long value) : kind_(Kind::Integer), integer_(value) {}
  FreeItem(float value) : kind_(Kind::Single), real_(value) {}
  FreeItem(double value) : kind_(Kind::Double), real_(value) {}

  // The item as the free-format writer renders it.
  std::string render() const;
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
  std::string text_;
  long long integer_ = 0;
  double real_ = 0.0;
};

// The lines (without line ends) that one free-format statement writes.
std::vector<std::string> free_format_lines(std::initializer_list<FreeItem> items);
std::vector<std::string> free_format_lines(const std::vector<FreeItem>& items);

// A real in free format with the given number of significant digits.
std::string free_format_real(double value, int digits);

// A text output file: truncated when opened, CR LF line ends, Latin-1 bytes.
// Open and write failures are reported by the return values.
class OutputFile {
 public:
  bool open(const std::string& path);         // truncates
  bool open_append(const std::string& path);  // writes after the last line
  bool is_open() const { return out_.is_open(); }
  // Writes one line and its CR LF; false when the write failed.
  bool line(std::string_view latin1_text);
  // Writes bytes as they stand (records with their CR LF); a block larger
  // than the stream's free buffer goes to the file in one write, with what
  // the buffer holds. False when the write failed.
  bool bytes(std::string_view latin1_bytes);
  bool write_free(std::initializer_list<FreeItem> items);
  bool write_free(const std::vector<FreeItem>& items);
  bool close();  // false when the last writes could not be completed
  // Hands what the stream holds to the file; false when the write failed.
  bool flush();
  bool good() const { return out_.good(); }
  // The lines written by line and write_free since the file was opened
  // (the bytes of `bytes` are not counted).
  long lines() const { return lines_; }

 private:
  // The stream's buffer, large enough that result files of hundreds of
  // megabytes go out in few writes.
  static constexpr std::size_t BUFFER = 1 << 20;
  std::unique_ptr<char[]> buffer_;
  std::ofstream out_;
  long lines_ = 0;
};

// The run log: opened once by the main program (for appending), written by
// every phase. A test can keep it in memory. Every line written in this run
// is also kept, so that the run's own lines can be looked at.
class RunLog {
 public:
  bool open_append(const std::string& path);
  void open_memory();
  bool is_open() const { return open_; }
  // One free-format statement; a failed write stops the run.
  void write(std::initializer_list<FreeItem> items);
  void write(const std::vector<FreeItem>& items);
  // The lines written so far into the file, so that a run that is ended
  // from outside leaves them (a failed write stops the run).
  void flush();
  void close();
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  void put(const std::vector<std::string>& lines);
  bool open_ = false;
  bool memory_ = false;
  std::string path_;
  OutputFile file_;
  std::vector<std::string> lines_;
};

}  // namespace tornal
