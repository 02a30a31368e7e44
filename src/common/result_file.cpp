// Result files that stop the run when they cannot be written (see result_file.h).
#include "common/result_file.h"

#include "common/latin1.h"
#include "common/stop.h"

namespace tornal {

ResultFile::ResultFile(RunLog& log, const std::string& path, const char* failure, bool with_path)
    : log_(log), path_(trimmed(path)), failure_(failure), with_path_(with_path) {
  if (!file_.open(path_)) fail();
}

void ResultFile::line(std::string_view latin1_text) {
  if (!file_.line(latin1_text)) fail();
}

void ResultFile::write_free(std::initializer_list<FreeItem> items) {
  if (!file_.write_free(items)) fail();
}

void ResultFile::write_free(const std::vector<FreeItem>& items) {
  if (!file_.write_free(items)) fail();
}

void ResultFile::write_chunk(std::string_view latin1_bytes) {
  if (!file_.bytes(latin1_bytes)) fail();
}

void ResultFile::write_unfinished_chunk(std::string_view latin1_bytes) noexcept {
  try {
    file_.bytes(latin1_bytes);
  } catch (...) {
    // The failure that ends the file is the one being reported.
  }
}

void ResultFile::close() {
  if (!file_.close()) fail();
}

void ResultFile::fail() {
  file_.close();
  if (with_path_)
    log_.write({FreeItem(failure_), FreeItem(path_)});
  else
    log_.write({FreeItem(failure_)});
  stop("error");
}

}  // namespace tornal
