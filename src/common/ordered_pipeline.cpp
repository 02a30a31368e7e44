// The ordered formatting pipeline of the result files (see ordered_pipeline.h).
#include "common/ordered_pipeline.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tornal {

void ChunkBuffer::grow(std::size_t n) {
  const std::size_t capacity = std::max({2 * capacity_, size_ + n, std::size_t{4096}});
  auto data = std::make_unique_for_overwrite<char[]>(capacity);
  if (size_ > 0) std::memcpy(data.get(), data_.get(), size_);
  data_ = std::move(data);
  capacity_ = capacity;
}

void ChunkBuffer::append(std::string_view bytes) {
  if (bytes.empty()) return;
  char* p = room(bytes.size());
  std::memcpy(p, bytes.data(), bytes.size());
  commit(p + bytes.size());
}

void ChunkBuffer::asterisks(const char* at, int) noexcept {
  const auto a = reinterpret_cast<std::uintptr_t>(at);
  const auto b = reinterpret_cast<std::uintptr_t>(data_.get());
  if (!data_ || a < b || a - b >= capacity_) return;
  asterisks_ = std::min<std::size_t>(asterisks_, a - b);
}

std::size_t ChunkBuffer::first_asterisks() const {
  return asterisks_ < size_ && data_[asterisks_] == '*' ? asterisks_ : NONE;
}

int formatting_workers() {
  const unsigned n = std::thread::hardware_concurrency();
  if (n < 2) return 0;
  return static_cast<int>(std::min(n, 8u));
}

std::size_t ring_slots(int workers) { return workers > 0 ? 2 * static_cast<std::size_t>(workers) : 1; }

namespace {

// Chunk i, just formatted into `b`, on the calling thread: the first field
// filled with asterisks, when the chunks before had none. Its line within
// the chunk is counted here; the lines of the chunks before, at the end.
void note_asterisks(AsteriskPlace* first, std::size_t i, const ChunkBuffer& b) {
  if (first == nullptr || first->found) return;
  const std::size_t at = b.first_asterisks();
  if (at == ChunkBuffer::NONE) [[likely]]
    return;
  const std::string_view t = b.text();
  const std::size_t newline = t.rfind('\n', at);
  const std::size_t start = newline == std::string_view::npos ? 0 : newline + 1;
  std::size_t end = t.find('\n', at);
  if (end == std::string_view::npos) end = t.size();
  if (end > start && t[end - 1] == '\r') --end;
  first->found = true;
  first->chunk = i;
  first->line = static_cast<std::size_t>(std::count(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(start), '\n'));
  first->record.assign(t.substr(start, end - start));
  first->offset = at - start;
}

// The lines of the chunks, counted instead of written.
class LineCount final : public ChunkOutput {
 public:
  void write_chunk(std::string_view bytes) override {
    lines += static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  }
  void write_unfinished_chunk(std::string_view) noexcept override {}
  std::size_t lines = 0;
};

// The chunks formatted and written by the calling thread alone.
void write_on_this_thread(std::size_t chunks, const ChunkFormatter& format, ChunkOutput& out, AsteriskPlace* first) {
  ChunkBuffer buffer;
  for (std::size_t i = 0; i < chunks; ++i) {
    buffer.clear();
    try {
      AsteriskWatch watch(buffer);
      format(i, buffer);
    } catch (...) {
      out.write_unfinished_chunk(buffer.text());
      throw;
    }
    note_asterisks(first, i, buffer);
    out.write_chunk(buffer.text());
  }
}

// The ring of buffers shared by the worker threads and the calling thread.
// Chunk i is formatted in slot i % slots, once chunk i - slots has been
// written from it; the workers take the chunks in order. Each slot has its
// own lock and tells the workers that wait for it when it is free, and the
// calling thread when its chunk is formatted: a thread sleeps until the
// slot it waits for changes, and two threads meet on a lock only at the
// slot they hand over.
class Ring {
 public:
  Ring(std::size_t chunks, const ChunkFormatter& format, std::size_t slots)
      : format_(format), chunks_(chunks), limit_(chunks), slots_(std::max<std::size_t>(slots, 1)) {
    for (std::size_t k = 0; k < slots_.size(); ++k) slots_[k].turn = k;
  }

  // A worker thread: takes the next chunk, waits until its slot is free,
  // formats it, hands it over; ends when every chunk has been taken or at
  // the stop.
  void work() {
    for (;;) {
      const std::size_t i = next_.fetch_add(1, std::memory_order_relaxed);
      if (i >= limit_.load(std::memory_order_acquire)) return;
      Slot& slot = slots_[i % slots_.size()];
      {
        std::unique_lock<std::mutex> lock(slot.mutex);
        slot.changed.wait(lock, [&] { return slot.turn == i || slot.turn == STOP; });
        if (slot.turn == STOP) return;
      }
      std::exception_ptr error;
      slot.buffer.clear();
      try {
        AsteriskWatch watch(slot.buffer);
        format_(i, slot.buffer);
      } catch (...) {
        error = std::current_exception();
      }
      if (error) {
        // No chunk after one that failed is needed.
        std::size_t limit = limit_.load(std::memory_order_relaxed);
        while (limit > i + 1 && !limit_.compare_exchange_weak(limit, i + 1, std::memory_order_release)) {
        }
      }
      {
        std::lock_guard<std::mutex> lock(slot.mutex);
        slot.error = error;
        slot.ready = i + 1;
      }
      slot.changed.notify_all();
    }
  }

  // The calling thread: every chunk in order, as soon as it is formatted.
  void write_all(ChunkOutput& out, AsteriskPlace* first) {
    const std::size_t n = slots_.size();
    for (std::size_t i = 0; i < chunks_; ++i) {
      Slot& slot = slots_[i % n];
      {
        std::unique_lock<std::mutex> lock(slot.mutex);
        slot.changed.wait(lock, [&] { return slot.ready == i + 1; });
      }
      if (slot.error) {
        out.write_unfinished_chunk(slot.buffer.text());
        std::rethrow_exception(slot.error);
      }
      note_asterisks(first, i, slot.buffer);
      out.write_chunk(slot.buffer.text());
      {
        std::lock_guard<std::mutex> lock(slot.mutex);
        slot.turn = i + n;
      }
      // With more workers than slots, two of them may wait for one slot.
      slot.changed.notify_all();
    }
  }

  // Every worker ends after the chunk it is formatting, if any.
  void stop() {
    for (Slot& slot : slots_) {
      {
        std::lock_guard<std::mutex> lock(slot.mutex);
        slot.turn = STOP;
      }
      slot.changed.notify_all();
    }
  }

 private:
  static constexpr std::size_t STOP = static_cast<std::size_t>(-1);
  struct Slot {
    ChunkBuffer buffer;
    std::exception_ptr error;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t turn = 0;   // the chunk that may be formatted in it (STOP: none)
    std::size_t ready = 0;  // 1 + the chunk formatted in it
  };
  const ChunkFormatter& format_;
  const std::size_t chunks_;
  std::atomic<std::size_t> next_{0};  // the next chunk to take
  std::atomic<std::size_t> limit_;    // no chunk from here on is formatted
  std::vector<Slot> slots_;
};

// Stops the workers and waits for them, also when the calling thread leaves
// with an exception (a failed write, a failed chunk).
class Workers {
 public:
  explicit Workers(Ring& ring) : ring_(ring) {}
  ~Workers() {
    ring_.stop();
    for (std::thread& t : threads_) t.join();
  }
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Starts up to n workers; returns how many could be started.
  std::size_t start(int n) {
    try {
      threads_.reserve(static_cast<std::size_t>(n));
      for (int k = 0; k < n; ++k) threads_.emplace_back([this] { ring_.work(); });
    } catch (...) {
      // No more threads: those started do the work.
    }
    return threads_.size();
  }

 private:
  Ring& ring_;
  std::vector<std::thread> threads_;
};

void write_chunks(std::size_t chunks, const ChunkFormatter& format, ChunkOutput& out, int workers, std::size_t slots,
                  AsteriskPlace* first) {
  if (chunks == 0) return;
  if (static_cast<std::size_t>(workers > 0 ? workers : 0) > chunks) workers = static_cast<int>(chunks);
  if (workers <= 0) {
    write_on_this_thread(chunks, format, out, first);
    return;
  }
  Ring ring(chunks, format, slots);
  Workers threads(ring);
  if (threads.start(workers) == 0) {
    write_on_this_thread(chunks, format, out, first);
    return;
  }
  ring.write_all(out, first);
}

}  // namespace

void write_chunks_in_order(std::size_t chunks, const ChunkFormatter& format, ChunkOutput& out, int workers,
                           std::size_t slots, AsteriskPlace* first) {
  if (first != nullptr) *first = AsteriskPlace{};
  write_chunks(chunks, format, out, workers, slots, first);
  if (first != nullptr && first->found && first->chunk > 0) {
    // The lines of the chunks before the one that holds the field: they
    // were written without being counted.
    LineCount before;
    write_chunks(first->chunk, format, before, workers, slots, nullptr);
    first->line += before.lines;
  }
}

void write_chunks_in_order(std::size_t chunks, const ChunkFormatter& format, ChunkOutput& out, AsteriskPlace* first) {
  const int workers = formatting_workers();
  write_chunks_in_order(chunks, format, out, workers, ring_slots(workers), first);
}

}  // namespace tornal
