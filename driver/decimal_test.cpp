#include "driver/decimal.h"

#include <gtest/gtest.h>

#include <cstring>

namespace blindscan {
namespace {

TEST(Decimal, ReadsLikeAPercentDConversion) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
    size_t consumed;
  };
  const Case cases[] = {
      {"7", true, 7, 1},
      {" \t\n7", true, 7, 4},
      {"+12", true, 12, 3},
      {"-12", true, -12, 3},
      {"12abc", true, 12, 2},
      {"0x10", true, 0, 1},
      {"007", true, 7, 3},
      {"12 34", true, 12, 2},
      {"2147483647", true, 2147483647, 10},
      {"-2147483648", true, INT32_MIN, 11},
      {"2147483648", false, 0, 0},
      {"-2147483649", false, 0, 0},
      {"99999999999999999999", false, 0, 0},
      {"", false, 0, 0},
      {"   ", false, 0, 0},
      {"abc", false, 0, 0},
      {"-", false, 0, 0},
      {"+ 5", false, 0, 0},
      {"--5", false, 0, 0},
  };
  for (const Case& c : cases) {
    const char* cursor = c.text;
    int32_t value = 55;
    EXPECT_EQ(read_decimal(cursor, value), c.ok) << '"' << c.text << '"';
    EXPECT_EQ(value, c.ok ? c.value : 55) << '"' << c.text << '"';
    EXPECT_EQ(static_cast<size_t>(cursor - c.text), c.consumed)
        << '"' << c.text << '"';
  }
}

TEST(Decimal, ArithmeticWrapsModulo2To32) {
  struct Case {
    int32_t a, b, product, sum, difference;
  };
  const Case cases[] = {
      {2150, 1000000, -2144967296, 1002150, -997850},
      {4294, 1000000, -967296, 1004294, -995706},
      {-2150, 1000000, 2144967296, 997850, -1002150},
      {5000, 1000000, 705032704, 1005000, -995000},
      {INT32_MAX, 1, INT32_MAX, INT32_MIN, INT32_MAX - 1},
      {INT32_MIN, -1, INT32_MIN, INT32_MAX, INT32_MIN + 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(wrapping_multiply(c.a, c.b), c.product) << c.a << " * " << c.b;
    EXPECT_EQ(wrapping_add(c.a, c.b), c.sum) << c.a << " + " << c.b;
    EXPECT_EQ(wrapping_subtract(c.a, c.b), c.difference) << c.a << " - " << c.b;
  }
}

}  // namespace
}  // namespace blindscan
