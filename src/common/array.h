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
    if constexpr (sizeof...(A) != 0 || !std::is_arithmetic_v<U>)
      ::new (static_cast<void*>(p)) U(std::forward<A>(args)...);
  }
  template <typename U>
  bool operator==(const ArrayStorage<U>&) const noexcept {
    return true;
  }
};

// Whether the 1-based index k lies in 1 .. n: one unsigned comparison, since
// an index below 1 wraps round to a huge value and fails it too. The check
// of every element of a view; an array checks each of its indices alike.
inline bool index_inside(long k, unsigned long n) { return static_cast<unsigned long>(k) - 1UL < n; }

// The name and the sizes of an array: what a stop names.
struct ArrayShape {
  std::string name;
  int rank = 0;
  std::array<long, 4> size{};
};

// The stops of an index out of range of a view (k, along its dimension)
// and of a block of columns (i, c): the whole index is found from where the
// view or the block starts, and the stop names the array, the index and
// the sizes, as an access to the array does.
[[noreturn]] void view_index_error(const ArrayShape& shape, int dimension, std::size_t origin, long k);
[[noreturn]] void columns_index_error(const ArrayShape& shape, long column, long i, long c);

template <typename T, int R>
class Array;

// The elements of an array along one dimension, the other indices fixed:
// (k) is the k-th of them, 1-based, at an even spacing in memory. Made only
// by an Array (run, line), which checks there the fixed indices and the
// extent; every access then costs one unsigned comparison, and an index out
// of range stops the run with the array's own message, naming the whole
// index. An empty view refuses every index.
template <typename T>
class View {
 public:
  // A view of const elements from one of writable elements.
  // clang-format off
  template <typename U>
    requires std::is_convertible_v<U*, T*>
  View(const View<U>& v)
      : base_(v.base_), stride_(v.stride_), extent_(v.extent_), shape_(v.shape_), origin_(v.origin_),
        dimension_(v.dimension_) {}
  // clang-format on

  T& operator()(long k) const {
    if (!index_inside(k, extent_)) [[unlikely]]
      outside(k);
    return base_[(static_cast<std::size_t>(k) - 1) * stride_];
  }
  long size() const { return static_cast<long>(extent_); }

  // Its first n elements, n checked here as an access to element n would
  // be. A loop over 1 .. n of views cut to the same n is seen by the
  // compiler to stay inside them all, and their checks cost nothing.
  View first(long n) const {
    if (n > size()) [[unlikely]]
      outside(n);
    return {base_, stride_, n < 0 ? 0 : n, *shape_, origin_, dimension_};
  }

 private:
  // The stop of an index out of range, out of line and handed the view
  // itself: a loop then holds of a view only what reaches its elements.
  [[noreturn, gnu::noinline, gnu::cold]] void outside(long k) const {
    view_index_error(*shape_, dimension_, origin_, k);
  }

  template <typename, int>
  friend class Array;
  template <typename>
  friend class View;
  View(T* base, std::size_t stride, long extent, const ArrayShape& shape, std::size_t origin, int dimension)
      : base_(base),
        stride_(stride),
        extent_(static_cast<unsigned long>(extent)),
        shape_(&shape),
        origin_(origin),
        dimension_(dimension) {}

  T* base_;
  std::size_t stride_;
  unsigned long extent_;
  // Where the view starts in its array: the offset of its first element or,
  // along an empty dimension, its fixed indices counted as an offset that
  // leaves that dimension out.
  const ArrayShape* shape_;
  std::size_t origin_;
  int dimension_;
};

// The first rows of consecutive columns of a two-dimensional array: (i, c)
// is element (i, j + c - 1) of the array when the block starts at column j.
// Made only by Array::columns, which checks the whole block there; every
// access then costs one unsigned comparison per index, and an index out of
// the block stops the run with the array's own message.
template <typename T>
class Columns {
 public:
  // A block of const elements from one of writable elements.
  // clang-format off
  template <typename U>
    requires std::is_convertible_v<U*, T*>
  Columns(const Columns<U>& b)
      : first_(b.first_), rows_(b.rows_), stride_(b.stride_), columns_(b.columns_), shape_(b.shape_),
        column_(b.column_) {}
  // clang-format on

  T& operator()(long i, long c) const {
    if (!(index_inside(i, rows_) && index_inside(c, columns_))) [[unlikely]]
      outside(i, c);
    return first_[(static_cast<std::size_t>(c) - 1) * stride_ + (static_cast<std::size_t>(i) - 1)];
  }
  long rows() const { return static_cast<long>(rows_); }
  long columns() const { return static_cast<long>(columns_); }

  // Its first n rows of its first m columns, checked here as an access to
  // element (n, m) would be (see View::first).
  Columns first(long n, long m) const {
    if (n > rows() || m > columns()) [[unlikely]]
      outside(n, m);
    return {first_, n < 0 ? 0 : n, stride_, m < 0 ? 0 : m, *shape_, column_};
  }

 private:
  // The stop of an index out of range (see View).
  [[noreturn, gnu::noinline, gnu::cold]] void outside(long i, long c) const {
    columns_index_error(*shape_, column_, i, c);
  }

  template <typename, int>
  friend class Array;
  template <typename>
  friend class Columns;
  Columns(T* first, long rows, std::size_t stride, long columns, const ArrayShape& shape, long column)
      : first_(first),
        rows_(static_cast<unsigned long>(rows)),
        stride_(stride),
        columns_(static_cast<unsigned long>(columns)),
        shape_(&shape),
        column_(column) {}

  T* first_;
  unsigned long rows_;
  std::size_t stride_;
  unsigned long columns_;
  const ArrayShape* shape_;
  long column_;  // the array's column of the block's first
};

template <typename T, int R>
class Array {
  static_assert(R >= 1 && R <= 4, "arrays have 1 to 4 dimensions");

 public:
  Array() = default;
  explicit Array(std::string name) : shape_{std::move(name), R, {}} {}

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
      shape_.size[d] = sizes[d] < 0 ? 0 : sizes[d];
      total *= static_cast<std::size_t>(shape_.size[d]);
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

  long size(int dimension = 1) const { return shape_.size[dimension - 1]; }
  bool empty() const { return data_.empty(); }
  const std::string& name() const { return shape_.name; }

  template <typename... I>
  T& operator()(I... i) {
    return data_[offset(i...)];
  }
  template <typename... I>
  const T& operator()(I... i) const {
    return data_[offset(i...)];
  }

  // Elements (1, j, ...) .. (n, j, ...): the first n along the first
  // dimension, the others fixed. The indices j, ... are checked here, as an
  // access to (1, j, ...) would be, and n against the first dimension, as
  // an access to (n, j, ...) would be; n of 0 (or less) gives an empty view.
  template <typename... J>
  View<T> run(long n, J... j) {
    return make_run(data_.data(), n, j...);
  }
  template <typename... J>
  View<const T> run(long n, J... j) const {
    return make_run(data_.data(), n, j...);
  }

  // The line of elements along dimension D through (i, ...), whose index in
  // D is not used: line(k) is the element with k in D, k = 1 .. size(D).
  // The other indices are checked here, as an access to the line's first
  // element would be.
  template <int D, typename... I>
  View<T> line(I... i) {
    return make_line<D>(data_.data(), i...);
  }
  template <int D, typename... I>
  View<const T> line(I... i) const {
    return make_line<D>(data_.data(), i...);
  }

  // Rows 1 .. n of the columns j .. j + m - 1 of a two-dimensional array.
  // Checked here, as an access to (1, j) and then to (n, j + m - 1) would
  // be; m of 0 (or less) gives an empty block, n of 0 (or less) a block of
  // empty columns.
  Columns<T> columns(long n, long j, long m) { return make_columns(data_.data(), n, j, m); }
  Columns<const T> columns(long n, long j, long m) const { return make_columns(data_.data(), n, j, m); }

  // Whether (i, ...) lies inside the array.
  template <typename... I>
  bool contains(I... i) const {
    static_assert(sizeof...(I) == R, "one index per dimension");
    long idx[R] = {static_cast<long>(i)...};
    for (int d = 0; d < R; ++d)
      if (!index_inside(idx[d], static_cast<unsigned long>(shape_.size[d]))) return false;
    return true;
  }

 private:
  template <typename E, typename... J>
  View<E> make_run(E* data, long n, J... j) const {
    static_assert(sizeof...(J) == R - 1, "one index per dimension");
    if (n < 0) n = 0;
    const bool vacia = shape_.size[0] == 0;
    const std::size_t origin = vacia ? fixed_code(0, 1L, static_cast<long>(j)...) : offset(1, j...);
    if (n > shape_.size[0]) [[unlikely]]
      offset(n, j...);
    return {vacia ? data : data + origin, 1, n, shape_, origin, 0};
  }

  template <int D, typename E, typename... I>
  View<E> make_line(E* data, I... i) const {
    static_assert(sizeof...(I) == R && D >= 1 && D <= R, "one index per dimension");
    long idx[R] = {static_cast<long>(i)...};
    idx[D - 1] = 1;
    std::size_t stride = 1;
    for (int e = 0; e < D - 1; ++e) stride *= static_cast<std::size_t>(shape_.size[e]);
    if (shape_.size[D - 1] == 0) [[unlikely]]
      return {data, stride, 0, shape_, fixed_code(D - 1, static_cast<long>(i)...), D - 1};
    const std::size_t off = offset_of(idx);
    return {data + off, stride, shape_.size[D - 1], shape_, off, D - 1};
  }

  // The origin of a view along the empty dimension d of an array, which has
  // no element: the other indices, checked as the view's first element, and
  // counted as an offset without dimension d.
  template <typename... I>
  std::size_t fixed_code(int d, I... i) const {
    long idx[R] = {static_cast<long>(i)...};
    idx[d] = 1;
    std::size_t code = 0;
    for (int e = R - 1; e >= 0; --e) {
      if (e == d) continue;
      if (!index_inside(idx[e], static_cast<unsigned long>(shape_.size[e])))
        array_index_error(shape_.name, idx, R, shape_.size.data());
      code = code * static_cast<std::size_t>(shape_.size[e]) + (static_cast<std::size_t>(idx[e]) - 1);
    }
    return code;
  }

  template <typename E>
  Columns<E> make_columns(E* data, long n, long j, long m) const {
    static_assert(R == 2, "columns of a two-dimensional array");
    if (n < 0) n = 0;
    const std::size_t stride = static_cast<std::size_t>(shape_.size[0]);
    if (m <= 0) return {data, n, stride, 0, shape_, j};
    const long first[2] = {1, j}, last[2] = {n, j + m - 1};
    if (!index_inside(j, static_cast<unsigned long>(shape_.size[1]))) [[unlikely]]
      array_index_error(shape_.name, first, R, shape_.size.data());
    if (n > shape_.size[0] || !index_inside(j + m - 1, static_cast<unsigned long>(shape_.size[1]))) [[unlikely]]
      array_index_error(shape_.name, last, R, shape_.size.data());
    return {data + (static_cast<std::size_t>(j) - 1) * stride, n, stride, m, shape_, j};
  }

  template <typename... I>
  std::size_t offset(I... i) const {
    static_assert(sizeof...(I) == R, "one index per dimension");
    const long idx[R] = {static_cast<long>(i)...};
    return offset_of(idx);
  }

  // The offset of element idx; an index out of range stops the run.
  std::size_t offset_of(const long (&idx)[R]) const {
    // One unsigned comparison per index.
    std::size_t off = 0;
    bool inside = true;
    for (int d = R - 1; d >= 0; --d) {
      const auto i = static_cast<unsigned long>(idx[d]) - 1UL;
      inside = inside && i < static_cast<unsigned long>(shape_.size[d]);
      off = off * static_cast<std::size_t>(shape_.size[d]) + static_cast<std::size_t>(i);
    }
    if (!inside) [[unlikely]]
      array_index_error(shape_.name, idx, R, shape_.size.data());
    return off;
  }

  ArrayShape shape_{"", R, {}};
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
