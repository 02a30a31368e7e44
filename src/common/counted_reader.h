// A file read statement by statement with its record counter, as most input
// files of the system are read: the counter holds the number of the record
// being read, every read statement counting one from the start of the file
// (a heading too, a record over several lines once). A record that cannot
// be read, or that the file ends inside, is reported with the file's read
// error message, the counter's label and the counter, and stops the run.
#pragma once

#include <string>

#include "common/failures.h"
#include "common/free_reader.h"
#include "common/latin1.h"

namespace tornal {

class CountedReader {
 public:
  CountedReader(RunLog& log, const char* read_message, const char* counter_label)
      : log_(log), read_message_(read_message), counter_label_(counter_label) {}

  // Opens the file at `path` (trailing blanks are no part of it); the
  // caller reports a failure, each file with its own message.
  bool open(const std::string& path) { return reader_.open(trimmed(path)); }

  // One record: `items` takes its values from the statement.
  template <typename F>
  void record(F&& items) {
    if (!record_or_end(items)) failure();
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

  // Heading records: each passes over exactly one line, whatever it holds.
  void heading(int count = 1) {
    for (int n = 0; n < count; ++n) record([](Statement&) {});
  }

  // A count just read announces `records` records to follow: a negative
  // count, or more records than the rest of the file could hold, is the read
  // error of the record that holds the count, before anything is sized by it.
  void announce(long long records) {
    if (records < 0 || records > static_cast<long long>(reader_.lines_left())) failure();
  }

  [[noreturn]] void failure() const { read_failure(log_, read_message_, counter_label_, counter_); }
  // The read error of record `counter` (a record the file cannot hold).
  [[noreturn]] void failure_at(long counter) const { read_failure(log_, read_message_, counter_label_, counter); }

  long counter() const { return counter_; }
  FreeReader& reader() { return reader_; }

 private:
  RunLog& log_;
  const char* read_message_;
  const char* counter_label_;
  FreeReader reader_;
  long counter_ = 0;
};

}  // namespace tornal
