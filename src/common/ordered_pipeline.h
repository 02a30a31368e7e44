// The ordered formatting pipeline of the result files. A file is described
// as a sequence of chunks (one record, one block of records, one year...)
// whose bytes depend only on data that no longer change; worker threads
// format the chunks into buffers taken from a small ring, and the calling
// thread writes the finished buffers strictly in the order of the chunks.
// Every write, every log line and every stop stays on the calling thread:
// a failed write ends the pipeline at the same chunk as a run on one thread
// would, and nothing after it is written. A chunk whose formatting throws
// gives the bytes it had committed, then its exception, on the calling
// thread, after every chunk before it. When no worker thread can be
// started, the calling thread formats the chunks itself (the same bytes).
// A field that an edit fills with asterisks is noted by the chunk's buffer
// (see fixed_format.h); the first one, in the order of the chunks, can be
// asked for.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/fixed_format.h"

namespace tornal {

// The bytes of one chunk. A formatter asks for room for what it is about to
// write, writes it, and commits the end of what it wrote: bytes written and
// not committed do not belong to the chunk, so that a record whose values
// cannot all be read leaves nothing of itself. While the pipeline formats a
// chunk, the buffer is the sink of asterisks of the formatting thread: it
// keeps where the first field filled with asterisks begins.
class ChunkBuffer final : public AsteriskSink {
 public:
  static constexpr std::size_t NONE = static_cast<std::size_t>(-1);

  // Room for n more bytes after the committed ones; where they go.
  char* room(std::size_t n) {
    if (n > capacity_ - size_) grow(n);
    return data_.get() + size_;
  }
  // The bytes up to `end` (inside the room last asked for) are committed.
  void commit(char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
  void append(std::string_view bytes);
  void clear() {
    size_ = 0;
    asterisks_ = NONE;
  }
  std::string_view text() const { return std::string_view(data_.get(), size_); }
  std::size_t size() const { return size_; }
  // Where the first field filled with asterisks in the committed bytes
  // begins, or NONE.
  std::size_t first_asterisks() const;
  // A field of the buffer at `at`; a field edited elsewhere is not the
  // buffer's (a label that the formatter copies tells where it copies it).
  void asterisks(const char* at, int w) noexcept override;

 private:
  void grow(std::size_t n);
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t asterisks_ = NONE;
};

// The first field of the chunks' bytes that an edit filled with asterisks,
// in the order of the chunks (the chunk, then the lowest place in it).
struct AsteriskPlace {
  bool found = false;
  std::size_t chunk = 0;   // the chunk that holds it
  std::size_t line = 0;    // its line in the chunks' bytes, counted from 0 over every chunk
  std::string record;      // that line, without its line end
  std::size_t offset = 0;  // where the field begins in `record`
};

// Where the chunks go, on the calling thread.
class ChunkOutput {
 public:
  virtual ~ChunkOutput() = default;
  // The bytes of a finished chunk. A failed write throws (it stops the
  // run); nothing more is written then.
  virtual void write_chunk(std::string_view bytes) = 0;
  // The committed bytes of a chunk whose formatting threw, as the file keeps
  // what was written before such a failure; a failure to write them is not
  // reported (the formatting failure is).
  virtual void write_unfinished_chunk(std::string_view bytes) noexcept = 0;
};

// Formats chunk `index` into `out` (empty when called). It must only read
// data that nothing changes while the pipeline runs, and may run on any
// thread.
using ChunkFormatter = std::function<void(std::size_t index, ChunkBuffer& out)>;

// The worker threads of a pipeline: as many as the machine runs at once,
// at most 8; none on a machine that runs one thread at a time.
int formatting_workers();

// The buffers of the ring for `workers` worker threads.
std::size_t ring_slots(int workers);

// The bytes a chunk should hold, about, so that the ring stays small (a few
// megabytes) and a write is large.
inline constexpr std::size_t CHUNK_TARGET_BYTES = std::size_t{128} << 10;

// Formats chunks 0 to `chunks` - 1 and writes them in order to `out`, with
// formatting_workers() threads and ring_slots() buffers. With `first`, the
// first field filled with asterisks is placed there when there is one: its
// line is counted, after the last chunk, by formatting the chunks before its
// own again (only then).
void write_chunks_in_order(std::size_t chunks, const ChunkFormatter& format, ChunkOutput& out,
                           AsteriskPlace* first = nullptr);
// The same with the given number of worker threads (0: the calling thread
// formats) and of ring buffers (at least 1).
void write_chunks_in_order(std::size_t chunks, const ChunkFormatter& format, ChunkOutput& out, int workers,
                           std::size_t slots, AsteriskPlace* first = nullptr);

}  // namespace tornal
