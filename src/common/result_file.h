// A result file of the run: truncated when opened (also when no line is
// written to it afterwards), CR LF line ends, Latin-1 bytes. A failed open,
// write or close writes the file's failure line to the run log and stops the
// run with "error", so that a run never reports success with its results
// missing.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "common/free_writer.h"
#include "common/ordered_pipeline.h"

namespace tornal {

class ResultFile : public ChunkOutput {
 public:
  // `failure` is the message of the log line; when `with_path` is true the
  // trimmed path follows it on the same line.
  ResultFile(RunLog& log, const std::string& path, const char* failure, bool with_path = true);
  ResultFile(const ResultFile&) = delete;
  ResultFile& operator=(const ResultFile&) = delete;

  // A formatted record: the text as it stands.
  void line(std::string_view latin1_text);
  // One free-format statement.
  void write_free(std::initializer_list<FreeItem> items);
  void write_free(const std::vector<FreeItem>& items);
  void close();
  // The lines written by line and write_free (not those of chunks).
  long lines() const { return file_.lines(); }
  // Records already edited, with their CR LF.
  void write_chunk(std::string_view latin1_bytes) override;
  // The records a chunk had edited when its formatting failed: kept in the
  // file as the records written before a failure are; not checked.
  void write_unfinished_chunk(std::string_view latin1_bytes) noexcept override;

 private:
  [[noreturn]] void fail();
  RunLog& log_;
  std::string path_;
  const char* failure_;
  bool with_path_;
  OutputFile file_;
};

}  // namespace tornal
