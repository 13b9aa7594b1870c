#include <gtest/gtest.h>

#include <cmath>

#include "math/matrix.h"
#include "math/sincos.h"
#include "math/vector.h"

namespace vexal {
namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectNear(const VECTOR& actual, const VECTOR& expected, float tolerance = 1e-5f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(Vector, ArithmeticAndNormalize) {
  const VECTOR a(1, 2, 3), b(4, 5, 6);
  EXPECT_EQ(a + b, VECTOR(5, 7, 9));
  EXPECT_EQ(b - a, VECTOR(3, 3, 3));
  EXPECT_EQ(-a, VECTOR(-1, -2, -3));
  EXPECT_EQ(a * 2.0f, VECTOR(2, 4, 6));
  EXPECT_FLOAT_EQ(a.dot(b), 32.0f);
  EXPECT_EQ(VECTOR(1, 0, 0).cross(VECTOR(0, 1, 0)), VECTOR(0, 0, 1));
  VECTOR zero;
  zero.normalize();
  EXPECT_EQ(zero, VECTOR(0, 0, 0));
  VECTOR v(3, 0, 4);
  v.normalize();
  ExpectNear(v, VECTOR(0.6f, 0, 0.8f));
}

TEST(Matrix, TransformUsesRowVectorsAndTheWRule) {
  EXPECT_EQ(VECTOR(1, 2, 3).transformed(MATRIX()), VECTOR(1, 2, 3));
  // w' = 0: returned without the perspective divide.
  MATRIX flat;
  flat.m[15] = 0.0f;
  EXPECT_EQ(VECTOR(1, 2, 3).transformed(flat), VECTOR(1, 2, 3));
  // w' = 2: divided.
  MATRIX doubled;
  doubled.m[15] = 2.0f;
  EXPECT_EQ(VECTOR(2, 4, 6).transformed(doubled), VECTOR(1, 2, 3));
  // Translation lives in the fourth row.
  EXPECT_EQ(VECTOR(1, 1, 1).transformed(MATRIX::translation(1, 2, 3)), VECTOR(2, 3, 4));
}

TEST(Matrix, ProductAppliesLeftFactorFirst) {
  const MATRIX scaleThenMove = MATRIX::scaling(2, 2, 2) * MATRIX::translation(1, 0, 0);
  EXPECT_EQ(VECTOR(1, 0, 0).transformed(scaleThenMove), VECTOR(3, 0, 0));
  MATRIX chained = MATRIX::scaling(2, 2, 2);
  chained.translate(1, 0, 0);
  EXPECT_EQ(chained, scaleThenMove);
}

TEST(Matrix, RotationTurnsAboutZThenXThenY) {
  ExpectNear(VECTOR(1, 0, 0).transformed(MATRIX::rotation(0, 0, kPi / 2)), VECTOR(0, 1, 0));
  ExpectNear(VECTOR(0, 1, 0).transformed(MATRIX::rotation(kPi / 2, 0, 0)), VECTOR(0, 0, 1));
  ExpectNear(VECTOR(0, 0, 1).transformed(MATRIX::rotation(0, kPi / 2, 0)), VECTOR(1, 0, 0));
  // Z acts first: (1,0,0) -> (0,1,0) about Z, then about X to (0,0,1).
  ExpectNear(VECTOR(1, 0, 0).transformed(MATRIX::rotation(kPi / 2, 0, kPi / 2)), VECTOR(0, 0, 1));
}

TEST(Matrix, InverseIsGaussJordanWithIdentityOnSingular) {
  MATRIX t = MATRIX::translation(1, 2, 3);
  t.invert();
  EXPECT_EQ(t, MATRIX::translation(-1, -2, -3));

  MATRIX zeroRow = MATRIX::rotation(0.3f, 0.2f, 0.1f);
  for (int c = 0; c < 4; ++c) zeroRow(2, c) = 0.0f;
  zeroRow.invert();
  EXPECT_EQ(zeroRow, MATRIX());

  // Needs a row swap: zero on the diagonal, non-zero below.
  MATRIX swap({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  MATRIX inverse = swap;
  inverse.invert();
  EXPECT_EQ(swap * inverse, MATRIX());

  MATRIX general = MATRIX::rotation(0.7f, -0.4f, 1.1f) * MATRIX::scaling(2, 3, 0.5f) *
                   MATRIX::translation(4, -5, 6);
  MATRIX back = general;
  back.invert();
  const MATRIX product = general * back;
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(product.m[i], MATRIX().m[i], 1e-5f) << i;
}

TEST(Matrix, LookAtPutsTargetAlongThirdAxis) {
  const MATRIX view = MATRIX::lookAt(VECTOR(0, 0, -8), VECTOR(0, 0, 0), VECTOR(0, 1, 0));
  ExpectNear(VECTOR(0, 0, 0).transformed(view), VECTOR(0, 0, 8));
  ExpectNear(VECTOR(0, 0, -8).transformed(view), VECTOR(0, 0, 0));
  ExpectNear(VECTOR(1, 0, 0).transformed(view), VECTOR(1, 0, 8));
}

TEST(Matrix, BoxProjectionMirrorsAndScales) {
  const float h = 2.0f;
  const MATRIX box = MATRIX::boxProjection(h, -h, -h, h, -1, 1);
  EXPECT_FLOAT_EQ(box.m[0], -1.0f / h);
  EXPECT_FLOAT_EQ(box.m[5], -1.0f / h);
  EXPECT_FLOAT_EQ(box.m[10], -1.0f);
  EXPECT_FLOAT_EQ(box.m[15], 1.0f);
  EXPECT_FLOAT_EQ(box.m[12], 0.0f);
  EXPECT_FLOAT_EQ(box.m[13], 0.0f);
  EXPECT_FLOAT_EQ(box.m[14], 0.0f);
}

TEST(SinCos, TableLookupWrapsNegativeAngles) {
  const SINCOS table;
  EXPECT_FLOAT_EQ(table.table[1024], 1.0f);
  EXPECT_EQ(table.cos(0.0f), table.table[1024]);
  EXPECT_EQ(table.sin(0.0f), 0.0f);
  // -pi/2 truncates to -1024 steps (the stored factor is a hair below
  // 4096/2pi), masked to 3072 - that is, sin reads about -1.
  const int k = SINCOS::index(-kPi / 2);
  EXPECT_NEAR(k, 3072, 1);
  EXPECT_NEAR(table.sin(-kPi / 2), -1.0f, 1e-4f);
  EXPECT_NEAR(table.cos(kPi), -1.0f, 1e-4f);
  // Truncation toward zero: a small negative angle reads index 0.
  EXPECT_EQ(SINCOS::index(-0.0001f), 0);
  EXPECT_EQ(SINCOS::index(-0.002f), 4095);
  // Entry 5119 is still inside the table (cos of the last step).
  EXPECT_NEAR(table.table[5119], std::sin(5119 * 6.28318530717958 / 4096), 1e-6);
}

}  // namespace
}  // namespace vexal
