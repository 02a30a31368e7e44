#include "common/array.h"

#include <gtest/gtest.h>

#include "common/stop.h"

using tornal::Array2;
using tornal::Array3;

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
