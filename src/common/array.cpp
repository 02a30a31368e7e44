// Out-of-range indices of the system's arrays and of their views, and the
// storage of their elements (see array.h).
#include "common/array.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "common/stop.h"

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#define TORNAL_LARGE_PAGES 1
#endif

namespace tornal {

void array_index_error(const std::string& name, const long* index, int rank, const long* size) {
  std::string text = "Índice fuera de rango en " + (name.empty() ? std::string("una tabla") : name) + "(";
  std::string dims = "(";
  for (int d = 0; d < rank; ++d) {
    if (d > 0) {
      text += ",";
      dims += ",";
    }
    text += std::to_string(index[d]);
    dims += std::to_string(size[d]);
  }
  throw IndexOutOfRange(text + "), de dimensiones " + dims + ")");
}

void view_index_error(const ArrayShape& shape, int dimension, std::size_t origin, long k) {
  // The offset of the view's first element, or, along an empty dimension,
  // its other indices counted as an offset without that dimension.
  const bool vacia = shape.size[dimension] == 0;
  long index[4] = {1, 1, 1, 1};
  for (int d = 0; d < shape.rank; ++d) {
    if (vacia && d == dimension) continue;
    const auto n = static_cast<std::size_t>(shape.size[d]);
    index[d] = static_cast<long>(origin % n) + 1;
    origin /= n;
  }
  index[dimension] = k;
  array_index_error(shape.name, index, shape.rank, shape.size.data());
}

void columns_index_error(const ArrayShape& shape, long column, long i, long c) {
  const long index[2] = {i, column + (c - 1)};
  array_index_error(shape.name, index, 2, shape.size.data());
}

#ifdef TORNAL_LARGE_PAGES
namespace {
// Blocks from this size on are mapped on their own and marked for large
// pages; the system falls back to ordinary pages when it has none.
constexpr std::size_t LARGE_BLOCK = std::size_t{2} << 20;
constexpr std::size_t LARGE_PAGE = std::size_t{2} << 20;
}  // namespace
#endif

void* array_storage_allocate(std::size_t bytes) {
#ifdef TORNAL_LARGE_PAGES
  if (bytes >= LARGE_BLOCK) {
    // Mapped with room to start on a large-page boundary; the parts before
    // and after the block are given back.
    const std::size_t span = bytes + LARGE_PAGE;
    void* m = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) throw std::bad_alloc();
    char* const base = static_cast<char*>(m);
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(base);
    char* const p = base + ((LARGE_PAGE - at % LARGE_PAGE) % LARGE_PAGE);
    if (p > base) munmap(base, static_cast<std::size_t>(p - base));
    const std::size_t tail = static_cast<std::size_t>(base + span - (p + bytes));
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    // Only whole pages past the block's last page can be returned.
    const std::size_t end = (bytes + page - 1) / page * page;
    if (tail > end - bytes) munmap(p + end, tail - (end - bytes));
    madvise(p, bytes, MADV_HUGEPAGE);
    return p;
  }
#endif
  return ::operator new(bytes);
}

void* array_storage_allocate_zeroed(std::size_t bytes) {
#ifdef TORNAL_LARGE_PAGES
  // A fresh mapping holds zeros.
  if (bytes >= LARGE_BLOCK) return array_storage_allocate(bytes);
#endif
  void* block = ::operator new(bytes);
  std::memset(block, 0, bytes);
  return block;
}

void array_storage_release(void* block, std::size_t bytes) noexcept {
#ifdef TORNAL_LARGE_PAGES
  if (bytes >= LARGE_BLOCK) {
    munmap(block, bytes);  // the whole pages that hold the block
    return;
  }
#endif
  (void)bytes;
  ::operator delete(block);
}

}  // namespace tornal
