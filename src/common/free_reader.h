// The free-format record reader that serves every input file of the system,
// and the tagged-line reader built on its line cursor.
//
// A statement begins at the start of a new line and takes its items across
// as many lines as it needs; lines with no item are passed over. Items are
// separated by blanks, tabs or commas; two commas with nothing between them
// leave a null item (the target keeps its value); `3*0.5` repeats a value and
// `2*` gives two null items. A slash outside quotes ends the statement: the
// items not yet read keep their values. A text is a word (ending at a blank,
// comma, slash or end of line) or a quoted text read whole, which may go on
// over further lines. An integer takes no decimal point or exponent; a real
// may carry an E or D exponent. Once a statement has its items, the rest of
// its last line is ignored; a statement with no items (a heading) passes over
// exactly one line. Each statement reports read, error or end of file. LF
// and CR LF line ends are both read.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tornal {

enum class ReadStatus { Ok, Error, EndOfFile };

class FreeReader;

// One read statement. Items are taken in order; after an error, an end of
// file or a slash, further items are not read. The statement ends (and the
// reader's cursor moves past its last line) at finish() or destruction.
class Statement {
 public:
  explicit Statement(FreeReader& reader);
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  Statement& integer(int& value);
  // Up to `most` integers at once: the next item and as many of the copies
  // that its repeat count still holds (`5*2` is five copies of 2). Returns how
  // many were taken, 0 when none could be (error, end of file, slash); they
  // are all `value`, which a null item leaves as it was and then sets `null`.
  // A list of a thousand million repeated values is read in one step.
  long long integers(int& value, bool& null, long long most);
  Statement& real(double& value);
  Statement& real(float& value);
  // A text held at `length` characters: cut, or filled with blanks.
  Statement& text(std::string& value, std::size_t length);
  // An item of any kind that is read and dropped.
  Statement& skip();

  ReadStatus status() const { return status_; }
  // The line under the cursor, counted from 0: that of the last item taken
  // (or of the slash, or the end of the file, that stopped the statement);
  // before any item, the line the statement begins at. Blank lines before
  // the first item are passed over as it is taken.
  std::size_t line() const { return line_; }
  bool ok() const { return status_ == ReadStatus::Ok; }
  // Whether further items may still be read: no error, end of file or slash
  // has ended the statement.
  bool more() const { return status_ == ReadStatus::Ok && !slash_ && !finished_; }
  // Ends the statement; returns its outcome. May be called more than once.
  ReadStatus finish();

 private:
  // An item as it stands in the text held by the reader, or, quoted, in
  // quoted_ (where its doubled quotes stand for one).
  struct Token {
    bool null = true;
    bool quoted = false;
    std::string_view text;
  };
  // Takes the next item; false when none is to be read (error, end of file, slash).
  bool next(Token& token);
  bool plain_word(std::string_view& word);
  bool scan(Token& token);
  bool read_quoted(Token& token);
  bool after_value(bool quoted);

  FreeReader& reader_;
  std::size_t line_;
  std::size_t col_ = 0;
  bool touched_ = false;  // an item was asked for, so lines were scanned
  bool slash_ = false;
  bool comma_pending_ = false;  // the last value's separator has had no comma yet
  bool finished_ = false;
  long repeat_left_ = 0;
  Token repeat_token_;
  std::string quoted_;  // the text of the last quoted item
  ReadStatus status_ = ReadStatus::Ok;
};

// Gives back a reader's text (see array_storage_allocate).
struct TextRelease {
  std::size_t bytes = 0;
  void operator()(char* block) const noexcept;
};

class FreeReader {
 public:
  FreeReader() = default;
  // Opens an existing file; false when it cannot be opened or read.
  bool open(const std::string& path);
  // Reads from a text held in memory.
  void set_text(const std::string& content);

  // A statement starting at the next line.
  Statement statement() { return Statement(*this); }

  // The tagged-line reader: the first word of the next line that holds one,
  // at most `length` characters of it, padded with blanks; the rest of the
  // line is passed over. A line starting with a comma or a slash gives a word
  // of blanks, which matches no tag. Empty at the end of the file.
  std::optional<std::string> first_word(std::size_t length);

  bool at_end() const { return next_line_ >= lines_.size(); }
  std::size_t next_line() const { return next_line_; }
  // Lines of the text, and those not yet read. Every statement begins on a
  // line of its own, so no more statements than these can follow.
  std::size_t line_count() const { return lines_.size(); }
  std::size_t lines_left() const { return at_end() ? 0 : lines_.size() - next_line_; }
  // Characters not yet read, line ends counted: no more items than these
  // can be written out in the rest of the text, one by one.
  std::size_t characters_left() const;
  // Values that the rest of the text can supply at most: every item counts
  // one, but a repeat count `n*v` or `n*` counts its n copies, and a slash,
  // which leaves the values of its statement unread, any number.
  unsigned long long values_left() const;

  // Copies that repeat counts may add to a list held in memory beyond the
  // values written out one by one: more than any basin needs, few enough
  // that no list of repeated values exhausts the memory.
  static constexpr long long REPEATED_VALUES_HELD = 1LL << 24;
  // Whether the rest of the text can supply `values` values (repeat counts
  // counting their copies): a count of more announces values that are not
  // there.
  bool can_supply(long long values) const;
  // Whether `values` values that the run holds in memory, one entry each,
  // stay within what the rest of the text can fill: no more than it could
  // write out one by one, or than REPEATED_VALUES_HELD. A list of values
  // written out one by one never takes more memory than its file; repeat
  // counts cannot make a list beyond that bound.
  bool can_hold(long long values) const;

 private:
  friend class Statement;
  // Where each line lies in text_, its line end (LF or CR LF) left out.
  struct Line {
    std::size_t begin;
    std::size_t length;
  };
  // Splits text_ into its lines.
  void index_lines();
  std::string_view line(std::size_t k) const { return {text_.get() + lines_[k].begin, lines_[k].length}; }
  // Room for `bytes` bytes of text, the first `keep` kept.
  void reserve_text(std::size_t bytes, std::size_t keep);
  // The characters and values from each line to the end of the text, made
  // when first asked for (one pass over the text).
  void count_rest() const;

  // The whole file, held once, in storage that is not cleared first.
  std::unique_ptr<char[], TextRelease> text_;
  std::size_t text_size_ = 0;
  std::vector<Line> lines_;
  std::size_t next_line_ = 0;
  // From line k to the end: characters (line ends counted) and values, with
  // the end itself at lines_.size(); empty until count_rest().
  mutable std::vector<unsigned long long> characters_from_;
  mutable std::vector<unsigned long long> values_from_;
  std::string number_;  // a real item spelled for the C library
};

// Whether a file exists and can be opened for reading.
bool file_exists(const std::string& path);

// Whether anything stands at `path` (a file, readable or not, a folder, a
// link): whether an optional input was given, a question apart from whether
// it can be opened.
bool name_exists(const std::string& path);

// The number of lines of the file at `path` as the reader sees them; empty
// when it cannot be opened. A bound on the records the file can hold.
std::optional<long long> file_line_count(const std::string& path);

}  // namespace tornal
