// IsInRange: Min <= Value <= Max, by signed comparison.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "library/MathUnit.h"

namespace kelvorat {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

TEST(IsInRange, WorkedExamples) {
  struct Case {
    std::int32_t min;
    std::int32_t value;
    std::int32_t max;
    bool expected;
  };
  const Case cases[] = {
      {1, 5, 5, true},    {1, 1, 0, false},   {1, 1, 1, true},     {1, 0, 5, false},
      {1, 6, 5, false},   {1, 3, 5, true},    {-3, -2, -1, true},  {-3, -4, -1, false},
      {0, -1, 5, false},  // signed: -1 is not a huge unsigned value
      {-1, 0, 0, true},   {kInt32Min, kInt32Min, kInt32Max, true},
      {kInt32Min, kInt32Max, kInt32Max, true},  {kInt32Max, kInt32Max, kInt32Max, true},
      {kInt32Min + 1, kInt32Min, kInt32Max, false}, {kInt32Min, kInt32Max, kInt32Max - 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "IsInRange(" << c.min << ", " << c.value << ", " << c.max << ")");
    EXPECT_EQ(IsInRange(c.min, c.value, c.max), c.expected);
  }
}

// With Max below Min no value is in range, whichever side of them it lies on.
TEST(IsInRange, EmptyRangeHoldsNothing) {
  const std::int32_t bounds[][2] = {{1, 0}, {5, 1}, {0, -1}, {kInt32Max, kInt32Min}, {kInt32Min + 1, kInt32Min}};
  const std::int32_t values[] = {kInt32Min, kInt32Min + 1, -1, 0, 1, 3, 5, kInt32Max - 1, kInt32Max};
  for (const auto& b : bounds) {
    for (const std::int32_t value : values) {
      SCOPED_TRACE(testing::Message() << "IsInRange(" << b[0] << ", " << value << ", " << b[1] << ")");
      EXPECT_FALSE(IsInRange(b[0], value, b[1]));
    }
  }
}

}  // namespace
}  // namespace kelvorat
