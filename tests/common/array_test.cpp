#include "common/array.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/stop.h"

using tornal::Array2;
using tornal::Array3;

namespace {

// The message of the stop that `acceso` ends in, or "no error".
template <typename F>
std::string mensaje(F&& acceso) {
  try {
    acceso();
  } catch (const tornal::Stop& s) {
    return std::string(s.what());
  }
  return std::string("no error");
}

}  // namespace

TEST(Array, OneBasedFirstIndexFastestAndChecked) {
  Array2<int> a{"CONDUCCIONES"};
  a.resize(4, 3);
  EXPECT_EQ(a.size(1), 4);
  EXPECT_EQ(a.size(2), 3);
  a(4, 3) = 7;
  a(1, 1) = 1;
  EXPECT_EQ(a(4, 3), 7);
  EXPECT_EQ(a(1, 1), 1);
  EXPECT_EQ(a(2, 1), 0);
  EXPECT_THROW(a(0, 1), tornal::Stop);
  EXPECT_THROW(a(5, 1), tornal::Stop);
  EXPECT_THROW(a(1, 4), tornal::Stop);
  try {
    a(5, 2);
  } catch (const tornal::Stop& s) {
    EXPECT_NE(std::string(s.what()).find("CONDUCCIONES(5,2)"), std::string::npos) << s.what();
  }
}

TEST(Array, NegativeOrZeroCountGivesEmptyArray) {
  Array3<double> q;
  q.resize(-3, 12, 2);
  EXPECT_TRUE(q.empty());
  EXPECT_EQ(q.size(1), 0);
  EXPECT_THROW(q(1, 1, 1), tornal::Stop);
  q.resize(2, 12, 1);
  q(2, 12, 1) = 3.5;
  EXPECT_DOUBLE_EQ(q(2, 12, 1), 3.5);
  EXPECT_DOUBLE_EQ(q(1, 12, 1), 0.0);
}

// A run or a block of columns is checked where it is made, as its first
// element and then its last would be, and then reads and writes the array's
// own elements; an index out of the view stops with the array's message.
TEST(Array, RunsAndColumnBlocksAreCheckedWhereMadeAndShareTheElements) {
  Array2<double> a{"CX"};
  a.resize(5, 3);
  const tornal::View<double> r = a.run(5, 2);
  r(5) = 4.0;
  EXPECT_EQ(a(5, 2), 4.0);
  const tornal::Columns<double> b = a.columns(5, 2, 2);
  b(1, 2) = 6.0;
  EXPECT_EQ(a(1, 3), 6.0);
  EXPECT_EQ(b(5, 1), 4.0);
  // A bad column is reported as the access to its first element; a run
  // longer than the column as the access to its last one.
  EXPECT_NE(mensaje([&] { a.run(5, 4); }).find("CX(1,4)"), std::string::npos);
  EXPECT_NE(mensaje([&] { a.run(5, 0); }).find("CX(1,0)"), std::string::npos);
  EXPECT_NE(mensaje([&] { a.run(6, 1); }).find("CX(6,1)"), std::string::npos);
  EXPECT_NE(mensaje([&] { a.columns(5, 2, 3); }).find("CX(5,4)"), std::string::npos);
  EXPECT_EQ(mensaje([&] { a.columns(5, 9, 0); }), "no error");
  // An empty run is still of a column of the array, and refuses every index.
  EXPECT_EQ(a.run(0, 3).size(), 0);
  EXPECT_NE(mensaje([&] { a.run(0, 9); }).find("CX(1,9)"), std::string::npos);
  EXPECT_NE(mensaje([&] { a.run(0, 3)(1); }).find("CX(1,3)"), std::string::npos);
  // Past the end of a run or a block, and before its start, as the array.
  const tornal::View<const double> columna = a.run(5, 1);
  EXPECT_EQ(mensaje([&] { columna(6); }), mensaje([&] { a(6, 1); }));
  EXPECT_EQ(mensaje([&] { columna(0); }), mensaje([&] { a(0, 1); }));
  EXPECT_EQ(mensaje([&] { b(6, 1); }), mensaje([&] { a(6, 2); }));
  EXPECT_EQ(mensaje([&] { b(1, 3); }), mensaje([&] { a(1, 4); }));
  EXPECT_NE(mensaje([&] { a(1, 4); }), "no error");
}

// A line along one dimension reaches the elements the full index reaches,
// and refuses, with the array's own message, every index the array refuses:
// its fixed indices where it is made (as its first element), its own index
// at every use.
TEST(Array, LineIsTheArrayAlongOneDimension) {
  tornal::Array4<double> a{"NUDOSCE"};
  a.resize(3, 4, 12, 2);
  a(2, 3, 5, 2) = 7.5;
  auto l = a.line<2>(2, 1, 5, 2);
  EXPECT_EQ(&l(3), &a(2, 3, 5, 2));
  EXPECT_EQ(&l(4), &a(2, 4, 5, 2));
  const auto& ca = a;
  EXPECT_EQ(&ca.line<1>(0, 4, 12, 2)(3), &a(3, 4, 12, 2));
  EXPECT_EQ(&ca.line<4>(1, 1, 1, 9)(2), &a(1, 1, 1, 2));

  EXPECT_EQ(mensaje([&] { l(5); }), mensaje([&] { a(2, 5, 5, 2); }));
  EXPECT_EQ(mensaje([&] { l(0); }), mensaje([&] { a(2, 0, 5, 2); }));
  EXPECT_EQ(mensaje([&] { a.line<2>(4, 1, 5, 2)(1); }), mensaje([&] { a(4, 1, 5, 2); }));
  EXPECT_EQ(mensaje([&] { a.line<2>(1, 7, 13, 2); }), mensaje([&] { a(1, 1, 13, 2); }));
  EXPECT_NE(mensaje([&] { a(4, 1, 5, 2); }), "no error");

  tornal::Array4<double> vacio{"EMB1CF"};
  vacio.resize(0, 4, 12, 2);
  EXPECT_EQ(mensaje([&] { vacio.line<2>(1, 1, 1, 1)(1); }), mensaje([&] { vacio(1, 1, 1, 1); }));
}

// A view along a dimension without elements still names its fixed indices
// when an access stops; a view or a block cut to its first elements
// refuses the others with the index they have in the array.
TEST(Array, EmptyAndCutViewsNameTheWholeIndex) {
  tornal::Array4<double> nudos{"NUDOSCE"};
  nudos.resize(3, 0, 12, 2);
  const auto linea = nudos.line<2>(2, 7, 5, 2);
  EXPECT_EQ(linea.size(), 0);
  EXPECT_EQ(mensaje([&] { linea(1); }), mensaje([&] { nudos(2, 1, 5, 2); }));
  EXPECT_EQ(mensaje([&] { nudos.line<2>(4, 1, 5, 2); }), mensaje([&] { nudos(4, 1, 5, 2); }));
  Array2<double> vacia{"CX"};
  vacia.resize(0, 3);
  EXPECT_EQ(mensaje([&] { vacia.run(0, 2)(1); }), mensaje([&] { vacia(1, 2); }));
  EXPECT_EQ(mensaje([&] { vacia.run(1, 2); }), mensaje([&] { vacia(1, 2); }));

  Array2<double> a{"DIAG"};
  a.resize(5, 3);
  const auto columna = a.run(5, 3).first(4);
  EXPECT_EQ(columna.size(), 4);
  EXPECT_NE(mensaje([&] { columna(5); }).find("DIAG(5,3)"), std::string::npos);
  EXPECT_NE(mensaje([&] { a.run(5, 3).first(6); }).find("DIAG(6,3)"), std::string::npos);
  const auto bloque = a.columns(5, 2, 2).first(3, 1);
  EXPECT_NE(mensaje([&] { bloque(4, 1); }).find("DIAG(4,2)"), std::string::npos);
  EXPECT_NE(mensaje([&] { bloque(1, 2); }).find("DIAG(1,3)"), std::string::npos);
  bloque(3, 1) = 2.5;
  EXPECT_EQ(a(3, 2), 2.5);
}

// Sized again, an array holds its start value everywhere, however much of the
// memory it had before it gets back, small or large; a negative zero is
// kept as such.
TEST(Array, ResizedArrayHoldsOnlyItsStartValue) {
  for (long n : {100L, 400000L}) {
    SCOPED_TRACE(n);
    Array2<double> a{"TCOND"};
    a.resize_filled(3.5, n, 2);
    a.resize(n, 2);
    double suma = 0.0;
    for (long j = 1; j <= 2; ++j)
      for (long i = 1; i <= n; ++i) suma += a(i, j) != 0.0 ? 1.0 : 0.0;
    EXPECT_EQ(suma, 0.0);
    a.resize_filled(-0.0, n, 2);
    EXPECT_TRUE(std::signbit(a(n, 2)));
  }
}
