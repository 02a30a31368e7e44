// The ordered formatting pipeline: a file written with worker threads holds
// the bytes of the same chunks formatted on one thread, in order, whatever
// the number of workers and of ring buffers; a chunk that fails keeps what
// it had committed and ends the file there; a write that fails ends the
// pipeline, and nothing after it is written.
#include "common/ordered_pipeline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/fixed_format.h"
#include "common/result_file.h"
#include "common/stop.h"
#include "test_util.h"

namespace {

using tornal::ChunkBuffer;

// Chunk i: every fifth one empty, the others of lengths from 1 to about 9 kB
// (some larger than the initial room of a buffer), records that name the
// chunk, and a few bytes written past the last commit that must not show.
void chunk(std::size_t i, ChunkBuffer& out) {
  if (i % 5 == 3) return;
  const std::size_t n = (i * 7919) % 9000 + 1;
  std::size_t escrito = 0;
  while (escrito < n) {
    const std::string registro = "chunk " + std::to_string(i) + " byte " + std::to_string(escrito) + "\r\n";
    out.append(registro);
    escrito += registro.size();
  }
  char* p = out.room(8);
  p[0] = '#';
}

std::string one_thread(std::size_t chunks) {
  std::string bytes;
  ChunkBuffer b;
  for (std::size_t i = 0; i < chunks; ++i) {
    b.clear();
    chunk(i, b);
    bytes.append(b.text());
  }
  return bytes;
}

// Chunks kept in memory; the write numbered `fail_at` throws as a failed
// write of a result file does.
class Memory : public tornal::ChunkOutput {
 public:
  void write_chunk(std::string_view b) override {
    if (writes_ == fail_at) throw tornal::Stop("error");
    ++writes_;
    bytes.append(b);
  }
  void write_unfinished_chunk(std::string_view b) noexcept override {
    unfinished = true;
    bytes.append(b);
  }
  std::string bytes;
  bool unfinished = false;
  int fail_at = -1;

 private:
  int writes_ = 0;
};

TEST(OrderedPipeline, FileWithWorkersIsTheFileOfOneThread) {
  tornal_test::TempDir dir;
  tornal::Modelo m;
  tornal_test::prepare(m, dir.path());
  struct Shape {
    int workers;
    std::size_t slots;
  };
  // 1001 chunks: no multiple of any ring size below; more workers than
  // slots, one slot, more workers than chunks.
  const Shape shapes[] = {{0, 1}, {1, 1}, {3, 7}, {8, 16}, {4, 3}, {6, 1}};
  for (std::size_t chunks : {std::size_t{0}, std::size_t{1}, std::size_t{5}, std::size_t{1001}}) {
    const std::string expected = one_thread(chunks);
    for (const Shape& s : shapes) {
      SCOPED_TRACE(std::to_string(chunks) + " chunks, " + std::to_string(s.workers) + " workers, " +
                   std::to_string(s.slots) + " slots");
      {
        tornal::ResultFile f(m.log, dir.file("out.txt"), "Error");
        tornal::write_chunks_in_order(chunks, chunk, f, s.workers, s.slots);
        f.close();
      }
      EXPECT_TRUE(dir.read("out.txt") == expected);
    }
  }
  {
    tornal::ResultFile f(m.log, dir.file("out.txt"), "Error");
    tornal::write_chunks_in_order(1001, chunk, f);  // the machine's workers
    f.close();
  }
  EXPECT_TRUE(dir.read("out.txt") == one_thread(1001));
  EXPECT_TRUE(m.log.lines().empty());
}

// A chunk whose formatting throws: the chunks before it, then what it had
// committed, then its exception on the calling thread.
TEST(OrderedPipeline, FailedChunkEndsTheFileAfterItsCommittedRecords) {
  const std::size_t failing = 700;
  auto format = [&](std::size_t i, ChunkBuffer& out) {
    chunk(i, out);
    if (i == failing) {
      out.append("last record\r\n");
      char* p = out.room(20);
      p[0] = 'x';  // a record begun, never committed
      throw std::runtime_error("index out of range");
    }
  };
  const std::string expected = one_thread(failing) + [&] {
    ChunkBuffer b;
    chunk(failing, b);
    return std::string(b.text()) + "last record\r\n";
  }();
  for (int workers : {0, 1, 5, 8}) {
    SCOPED_TRACE(workers);
    Memory out;
    try {
      tornal::write_chunks_in_order(1001, format, out, workers, tornal::ring_slots(workers));
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "index out of range");
    }
    EXPECT_TRUE(out.unfinished);
    EXPECT_TRUE(out.bytes == expected);
  }
}

// A write that fails stops the pipeline: its exception reaches the caller
// and no later chunk is written, also with every worker busy.
TEST(OrderedPipeline, FailedWriteEndsThePipeline) {
  for (int workers : {0, 2, 8}) {
    for (int fail_at : {0, 1, 300}) {
      SCOPED_TRACE(std::to_string(workers) + " workers, write " + std::to_string(fail_at));
      Memory out;
      out.fail_at = fail_at;
      EXPECT_EQ(tornal_test::stop_message(
                    [&] { tornal::write_chunks_in_order(1001, chunk, out, workers, tornal::ring_slots(workers)); }),
                "error");
      EXPECT_FALSE(out.unfinished);
      EXPECT_TRUE(out.bytes == one_thread(static_cast<std::size_t>(fail_at)));
    }
  }
}

// Chunk i: i % 7 + 1 records of a name and a value in F8.2. The value is
// too wide for its field in records 2 and on of chunk 640 and in every
// record of chunk 900; the names of every third chunk hold asterisks that no
// edit wrote; chunk 300 edits a field too wide past its last commit.
void chunk_con_campos(std::size_t i, ChunkBuffer& out) {
  for (std::size_t j = 0; j <= i % 7; ++j) {
    const std::string nombre = "r" + std::to_string(i) + "." + std::to_string(j) + (i % 3 == 0 ? " ***;" : ";");
    char* p = out.room(nombre.size() + 10);
    std::memcpy(p, nombre.data(), nombre.size());
    const bool ancho = (i == 640 && j >= 2) || i == 900;
    tornal::put_F(p + nombre.size(), ancho ? 1.0e9 : static_cast<double>(j), 8, 2);
    p[nombre.size() + 8] = '\r';
    p[nombre.size() + 9] = '\n';
    out.commit(p + nombre.size() + 10);
  }
  if (i == 300) tornal::put_F(out.room(8), 1.0e12, 8, 2);
}

// The first field filled with asterisks is the first in the order of the
// chunks, whatever thread formats which chunk: its chunk, its line over the
// whole output, its record and its place in the record; a chunk with none,
// asterisks in a text and a field not committed give none.
TEST(OrderedPipeline, FirstFieldWithAsterisksInChunkOrder) {
  std::size_t antes = 0;
  for (std::size_t i = 0; i < 640; ++i) antes += i % 7 + 1;
  const std::pair<int, std::size_t> shapes[] = {{0, 1}, {1, 1}, {3, 7}, {8, 16}, {4, 3}, {6, 1}};
  for (const auto& [workers, slots] : shapes) {
    SCOPED_TRACE(std::to_string(workers) + " workers, " + std::to_string(slots) + " slots");
    for (int vez = 0; vez < 2; ++vez) {
      Memory out;
      tornal::AsteriskPlace primero;
      primero.found = true;  // cleared by the pipeline
      tornal::write_chunks_in_order(1001, chunk_con_campos, out, workers, slots, &primero);
      ASSERT_TRUE(primero.found);
      EXPECT_EQ(primero.chunk, 640u);
      EXPECT_EQ(primero.line, antes + 2);
      EXPECT_EQ(primero.record, "r640.2;********");
      EXPECT_EQ(primero.offset, 7u);
      std::size_t p = 0;
      for (std::size_t l = 0; l < primero.line; ++l) p = out.bytes.find('\n', p) + 1;
      EXPECT_EQ(out.bytes.substr(p, primero.record.size()), primero.record);
    }
    Memory out;
    tornal::AsteriskPlace ninguno;
    tornal::write_chunks_in_order(640, chunk_con_campos, out, workers, slots, &ninguno);
    EXPECT_FALSE(ninguno.found);
  }
}

}  // namespace
