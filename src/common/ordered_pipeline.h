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
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

namespace tornal {

// The bytes of one chunk. A formatter asks for room for what it is about to
// write, writes it, and commits the end of what it wrote: bytes written and
// not committed do not belong to the chunk, so that a record whose values
// cannot all be read leaves nothing of itself.
class ChunkBuffer {
 public:
  // Room for n more bytes after the committed ones; where they go.
  char* room(std::size_t n) {
    if (n > capacity_ - size_) grow(n);
    return data_.get() + size_;
  }
  // The bytes up to `end` (inside the room last asked for) are committed.
  void commit(char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
  void append(std::string_view bytes);
  void clear() { size_ = 0; }
  std::string_view text() const { return std::string_view(data_.get(), size_); }
  std::size_t size() const { return size_; }

 private:
  void grow(std::size_t n);
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
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
// formatting_workers() threads and ring_slots() buffers.
void write_chunks_in_order(std::size_t chunks, const ChunkFormatter& format, ChunkOutput& out);
// The same with the given number of worker threads (0: the calling thread
// formats) and of ring buffers (at least 1).
void write_chunks_in_order(std::size_t chunks, const ChunkFormatter& format, ChunkOutput& out, int workers,
                           std::size_t slots);

}  // namespace tornal
