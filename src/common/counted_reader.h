// A file read statement by statement with its record counter, as every input
// file of the system that counts its records is read: the counter holds the
// number of the record being read, every read statement counting one from the
// start of the file (a heading too, a record over several lines once). A
// record that cannot be read, or that the file ends inside, is reported with
// the file's read error message, the counter's label and the counter, and
// stops the run. Files that count only some of their records read the others
// with `uncounted` and count with `count_one`.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "common/array.h"
#include "common/failures.h"
#include "common/free_reader.h"
#include "common/latin1.h"

namespace tornal {

class CountedReader {
 public:
  // `first`: the counter before the first record is read.
  CountedReader(RunLog& log, const char* read_message, const char* counter_label, long first = 0)
      : log_(log), read_message_(read_message), counter_label_(counter_label), counter_(first) {}

  // Opens the file at `path` (trailing blanks are no part of it); the
  // caller reports a failure, each file with its own message.
  bool open(const std::string& path) { return reader_.open(trimmed(path)); }

  // Opens the file at `path`; a failure writes `access_message` and stops.
  void open(const std::string& path, const char* access_message) {
    if (!open(path)) access_failure(log_, access_message);
  }

  // One record: `items` takes its values from the statement.
  template <typename F>
  void record(F&& items) {
    if (!record_or_end(items)) failure();
  }

  // One record whose values must pass `acceptable` once read (counts that
  // may not be negative); a value that does not is reported as a read error
  // of this record.
  template <typename F, typename C>
  void record(F&& items, C&& acceptable) {
    record(items);
    if (!acceptable()) failure();
  }

  // One record that the file may end before: false at that end of file.
  template <typename F>
  bool record_or_end(F&& items) {
    ++counter_;
    Statement st = reader_.statement();
    items(st);
    ReadStatus status = st.finish();
    if (status == ReadStatus::Error) failure();
    return status == ReadStatus::Ok;
  }

  // One record that the counter does not count.
  template <typename F>
  void uncounted(F&& items) {
    Statement st = reader_.statement();
    items(st);
    if (st.finish() != ReadStatus::Ok) failure();
  }

  // Counts one record without reading one (a record counted once read).
  void count_one() { ++counter_; }

  // Heading records: each passes over exactly one line, whatever it holds.
  void heading(int count = 1) {
    for (int n = 0; n < count; ++n) record([](Statement&) {});
  }

  // One heading record that the file may end before: false at that end.
  bool heading_or_end() {
    return record_or_end([](Statement&) {});
  }

  // The first word of the next line, at most `length` characters, counted as
  // one record; empty at the end of the file.
  std::optional<std::string> first_word(std::size_t length) {
    ++counter_;
    return reader_.first_word(length);
  }

  // A record of one text value held at `length` characters.
  void text(std::string& value, std::size_t length) {
    record([&](Statement& st) { st.text(value, length); });
  }

  // A record of one value per element: a(1..n).
  template <typename T>
  void values(Array1<T>& a, int n) {
    record([&](Statement& st) {
      for (int i = 1; i <= n; ++i) item(st, a(i));
    });
  }

  // A record of column `j` of a per-element array: a(1..n, j).
  void column(Array2<double>& a, int j, int n) {
    record([&](Statement& st) {
      for (int i = 1; i <= n; ++i) st.real(a(i, j));
    });
  }

  // A record of row `i` of a per-element or monthly array: a(i, 1..n).
  void row(Array2<double>& a, int i, int n) {
    record([&](Statement& st) {
      for (int j = 1; j <= n; ++j) st.real(a(i, j));
    });
  }

  // A record of one integer, the count of a section whose `records_after`
  // records (its headings) and `records_each` records per entry follow. A
  // negative count, or one that announces more records than the rest of the
  // file could hold, is the read error of this record.
  void count(int& value, long long records_each, long long records_after = 1) {
    value = 0;
    record([&](Statement& st) { st.integer(value); });
    if (value < 0) failure();
    announce(records_after + records_each * value);
  }

  // A count just read announces `records` records to follow: a negative
  // count, or more records than the rest of the file could hold, is the read
  // error of the record that holds the count, before anything is sized by it.
  void announce(long long records) {
    if (records < 0 || records > static_cast<long long>(reader_.lines_left())) failure();
  }

  // A count just read announces `values` values to follow, in records that
  // may share lines: a negative count, or more values than the rest of the
  // file can supply (a repeat count `n*v` giving n), is the read error of the
  // record that holds the count.
  void announce_values(long long values) {
    if (values < 0 || !reader_.can_supply(values)) failure();
  }

  // A count just read sizes `values` entries held in memory: beyond what the
  // rest of the file could write out one by one and beyond
  // FreeReader::REPEATED_VALUES_HELD, it is the read error of the record that
  // holds the count, before anything is sized by it.
  void announce_held(long long values) {
    if (values < 0 || !reader_.can_hold(values)) failure();
  }

  [[noreturn]] void failure() const { read_failure(log_, read_message_, counter_label_, counter_); }
  // The read error of record `counter` (a record the file cannot hold).
  [[noreturn]] void failure_at(long counter) const { read_failure(log_, read_message_, counter_label_, counter); }

  long counter() const { return counter_; }
  FreeReader& reader() { return reader_; }
  const FreeReader& reader() const { return reader_; }

 private:
  static void item(Statement& st, double& v) { st.real(v); }
  static void item(Statement& st, int& v) { st.integer(v); }

  RunLog& log_;
  const char* read_message_;
  const char* counter_label_;
  FreeReader reader_;
  long counter_ = 0;
};

}  // namespace tornal
