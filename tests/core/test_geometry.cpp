#include <gtest/gtest.h>
#include "geometry/Bezier.h"
TEST(Placeholder, Builds) { std::vector<CVector3> s; std::vector<float> p; EvaluateCurve({}, s, p); EXPECT_TRUE(s.empty()); }
