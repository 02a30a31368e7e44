// Arrays of the system: 1-based in every dimension, sized once from the
// counts of the input, every index checked. An index that input data pushed
// out of range stops the run with a message naming the array, instead of
// touching memory that is not the array's. A count of 0 (or less) gives an
// empty array.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace tornal {

[[noreturn]] void array_index_error(const std::string& name, const long* index, int rank, const long* size);

// Storage of the arrays' elements. A large block (the result arrays of a
// basin run to hundreds of megabytes) is asked of the system in pages that
// may be large, so that filling it costs few page faults; a small one comes
// from the ordinary heap. array_storage_allocate_zeroed gives a block whose
// bytes are all 0: a large one as the system hands it, never written, so
// that its pages cost nothing until they are used.
void* array_storage_allocate(std::size_t bytes);
void* array_storage_allocate_zeroed(std::size_t bytes);
void array_storage_release(void* block, std::size_t bytes) noexcept;

// The arrays' allocator: its blocks come zeroed, and an element of a type
// whose zero bytes are its value T() (numbers) is left as it is when
// default-constructed.
template <typename T>
struct ArrayStorage {
  using value_type = T;
  ArrayStorage() = default;
  template <typename U>
  ArrayStorage(const ArrayStorage<U>&) noexcept {}
  T* allocate(std::size_t n) { return static_cast<T*>(array_storage_allocate_zeroed(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { array_storage_release(p, n * sizeof(T)); }
  template <typename U, typename... A>
  void construct(U* p, A&&... args) {
    if constexpr (sizeof...(A) != 0 || !std::is_arithmetic_v<U>) ::new (static_cast<void*>(p)) U(std::forward<A>(args)...);
  }
  template <typename U>
  bool operator==(const ArrayStorage<U>&) const noexcept {
    return true;
  }
};

// A run of consecutive elements of an array, 1-based and unchecked: made
// by Array::run after one check that the whole run lies inside the array,
// so that a hot loop over it needs no check per element.
template <typename T>
class Run {
 public:
  Run() = default;
  Run(T* first, long n) : first_(first), size_(n) {}
  // A run of const elements from one of writable elements.
  template <typename U>
    requires std::is_convertible_v<U*, T*>
  Run(const Run<U>& r) : first_(r.data()), size_(r.size()) {}

  T& operator()(long i) const { return first_[i - 1]; }
  long size() const { return size_; }
  T* data() const { return first_; }

 private:
  T* first_ = nullptr;
  long size_ = 0;
};

// The first rows of consecutive columns of a two-dimensional array, 1-based
// and unchecked: (i, c) is element (i, j + c - 1) of the array when the
// block starts at column j. Made by Array::columns after one check that the
// whole block lies inside the array.
template <typename T>
class Columns {
 public:
  Columns() = default;
  Columns(T* first, long rows, long stride, long columns)
      : first_(first), rows_(rows), stride_(stride), columns_(columns) {}
  // A block of const elements from one of writable elements.
  template <typename U>
    requires std::is_convertible_v<U*, T*>
  Columns(const Columns<U>& b) : first_(b.data()), rows_(b.rows()), stride_(b.stride()), columns_(b.columns()) {}

  T& operator()(long i, long c) const { return first_[(c - 1) * stride_ + (i - 1)]; }
  long rows() const { return rows_; }
  long columns() const { return columns_; }
  long stride() const { return stride_; }
  T* data() const { return first_; }

 private:
  T* first_ = nullptr;
  long rows_ = 0, stride_ = 0, columns_ = 0;
};

template <typename T, int R>
class Array {
  static_assert(R >= 1 && R <= 4, "arrays have 1 to 4 dimensions");

 public:
  Array() = default;
  explicit Array(std::string name) : name_(std::move(name)) {}

  // Sizes the array, every element set to T() (0 for numbers); negative
  // sizes count as 0.
  template <typename... N>
  void resize(N... n) {
    resize_filled(T(), n...);
  }

  // Sizes the array with every element set to `value`, in one pass over the
  // memory.
  template <typename... N>
  void resize_filled(const T& value, N... n) {
    static_assert(sizeof...(N) == R, "one size per dimension");
    long sizes[R] = {static_cast<long>(n)...};
    std::size_t total = 1;
    for (int d = 0; d < R; ++d) {
      size_[d] = sizes[d] < 0 ? 0 : sizes[d];
      total *= static_cast<std::size_t>(size_[d]);
    }
    // The old elements are released first, so that the array is never held
    // twice. A number array of zeros is its zeroed block, never written.
    std::vector<T, ArrayStorage<T>>().swap(data_);
    if constexpr (std::is_arithmetic_v<T>) {
      if (value == T() && !std::signbit(static_cast<double>(value))) {
        data_.resize(total);
        return;
      }
    }
    data_.assign(total, value);
  }

  void fill(const T& value) { data_.assign(data_.size(), value); }

  long size(int dimension = 1) const { return size_[dimension - 1]; }
  bool empty() const { return data_.empty(); }
  const std::string& name() const { return name_; }

  template <typename... I>
  T& operator()(I... i) {
    return data_[offset(i...)];
  }
  template <typename... I>
  const T& operator()(I... i) const {
    return data_[offset(i...)];
  }

  // Elements (1, j, ...) .. (n, j, ...): the first n along the first
  // dimension, the others fixed. Checked here once, as an access to (1, j,
  // ...) and then to (n, j, ...) would be; n = 0 gives an empty run.
  template <typename... J>
  Run<T> run(long n, J... j) {
    if (n <= 0) return {};
    T* first = &data_[offset(1, j...)];
    if (n > size_[0]) offset(n, j...);
    return {first, n};
  }
  template <typename... J>
  Run<const T> run(long n, J... j) const {
    if (n <= 0) return {};
    const T* first = &data_[offset(1, j...)];
    if (n > size_[0]) offset(n, j...);
    return {first, n};
  }

  // Rows 1 .. n of the columns j .. j + m - 1 of a two-dimensional array.
  // Checked here once, as an access to (1, j) and then to (n, j + m - 1)
  // would be; n or m of 0 gives an empty block.
  Columns<T> columns(long n, long j, long m) {
    static_assert(R == 2, "columns of a two-dimensional array");
    if (n <= 0 || m <= 0) return {};
    T* first = &data_[offset(1, j)];
    offset(n, j + m - 1);
    return {first, n, size_[0], m};
  }
  Columns<const T> columns(long n, long j, long m) const {
    static_assert(R == 2, "columns of a two-dimensional array");
    if (n <= 0 || m <= 0) return {};
    const T* first = &data_[offset(1, j)];
    offset(n, j + m - 1);
    return {first, n, size_[0], m};
  }

  // The line of elements along dimension D through (i, ...), whose index in
  // D is not used: line(k) is the element with k in D. Every use is checked
  // as an element of the array is, and an index out of range is reported
  // with the whole index, as the array reports it; what lies inside costs
  // one comparison.
  template <int D, typename E>
  class Line {
   public:
    E& operator()(long k) const {
      const unsigned long j = static_cast<unsigned long>(k) - 1UL;
      if (!(inside_ && j < extent_)) [[unlikely]]
        fuera(k);
      return base_[j * stride_];
    }

   private:
    friend class Array;
    [[noreturn]] void fuera(long k) const {
      std::array<long, R> idx = idx_;
      idx[D - 1] = k;
      array_index_error(array_->name_, idx.data(), R, array_->size_.data());
    }
    E* base_ = nullptr;
    std::size_t stride_ = 1;
    unsigned long extent_ = 0;
    bool inside_ = false;
    std::array<long, R> idx_{};
    const Array* array_ = nullptr;
  };

  template <int D, typename... I>
  Line<D, T> line(I... i) {
    return make_line<D, T>(data_.data(), i...);
  }
  template <int D, typename... I>
  Line<D, const T> line(I... i) const {
    return make_line<D, const T>(data_.data(), i...);
  }

  // Whether (i, ...) lies inside the array.
  template <typename... I>
  bool contains(I... i) const {
    static_assert(sizeof...(I) == R, "one index per dimension");
    long idx[R] = {static_cast<long>(i)...};
    for (int d = 0; d < R; ++d)
      if (idx[d] < 1 || idx[d] > size_[d]) return false;
    return true;
  }

 private:
  template <int D, typename E, typename... I>
  Line<D, E> make_line(E* data, I... i) const {
    static_assert(sizeof...(I) == R && D >= 1 && D <= R, "one index per dimension");
    Line<D, E> l;
    l.idx_ = {static_cast<long>(i)...};
    l.array_ = this;
    l.extent_ = static_cast<unsigned long>(size_[D - 1]);
    l.inside_ = true;
    std::size_t off = 0;
    for (int d = R - 1; d >= 0; --d) {
      const auto j = d == D - 1 ? 0UL : static_cast<unsigned long>(l.idx_[d]) - 1UL;
      if (d != D - 1 && j >= static_cast<unsigned long>(size_[d])) l.inside_ = false;
      off = off * static_cast<std::size_t>(size_[d]) + static_cast<std::size_t>(j);
    }
    for (int d = 0; d < D - 1; ++d) l.stride_ *= static_cast<std::size_t>(size_[d]);
    if (l.inside_ && l.extent_ > 0) l.base_ = data + off;
    return l;
  }

  template <typename... I>
  std::size_t offset(I... i) const {
    static_assert(sizeof...(I) == R, "one index per dimension");
    long idx[R] = {static_cast<long>(i)...};
    // One unsigned comparison per index: an index below 1 wraps round to a
    // huge value and fails it too.
    std::size_t off = 0;
    bool inside = true;
    for (int d = R - 1; d >= 0; --d) {
      const auto i = static_cast<unsigned long>(idx[d]) - 1UL;
      inside = inside && i < static_cast<unsigned long>(size_[d]);
      off = off * static_cast<std::size_t>(size_[d]) + static_cast<std::size_t>(i);
    }
    if (!inside) [[unlikely]]
      array_index_error(name_, idx, R, size_.data());
    return off;
  }

  std::string name_;
  std::array<long, R> size_{};
  std::vector<T, ArrayStorage<T>> data_;
};

template <typename T>
using Array1 = Array<T, 1>;
template <typename T>
using Array2 = Array<T, 2>;
template <typename T>
using Array3 = Array<T, 3>;
template <typename T>
using Array4 = Array<T, 4>;

// A one-dimensional array of fixed extent, every element `value`: the small
// coefficient vectors of the system (TECTAOD(1..8), STECHIO(1..6), ...).
template <typename T>
Array1<T> fixed_array(std::string name, long n, const T& value = T()) {
  Array1<T> a(std::move(name));
  a.resize_filled(value, n);
  return a;
}

}  // namespace tornal
