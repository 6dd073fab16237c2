#include "driver/bs_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace blindscan {
namespace {

TEST(FrontendPaths, NameBothFilesOfTheFrontend) {
  const frontend_paths zero = make_frontend_paths(0);
  EXPECT_STREQ(zero.control_path, "/proc/stb/frontend/0/bs_ctrl");
  EXPECT_STREQ(zero.result_path, "/proc/stb/frontend/0/bs_info");
  const frontend_paths largest = make_frontend_paths(INT32_MAX);
  EXPECT_STREQ(largest.control_path, "/proc/stb/frontend/2147483647/bs_ctrl");
  const frontend_paths elsewhere = make_frontend_paths(3, "/tmp/x");
  EXPECT_STREQ(elsewhere.control_path, "/tmp/x/3/bs_ctrl");
  EXPECT_STREQ(elsewhere.result_path, "/tmp/x/3/bs_info");
}

TEST(BsRequest, IsTheTextThenZerosUpTo256Bytes) {
  struct Case {
    int32_t bounds[4];
    int32_t frontend;
    const char* text;
  };
  const Case cases[] = {
      {{950, 2150, 22000, 2}, 0, "950000000 -2144967296 525163520 2000000 0"},
      {{1, -1, 4294, -2150}, 7, "1000000 -1000000 -967296 2144967296 7"},
      {{5000, 2147, 2148, -4294}, 12,
       "705032704 2147000000 -2146967296 967296 12"},
      {{INT32_MAX, INT32_MIN, -1, 1}, INT32_MAX,
       "-1000000 0 -1000000 1000000 2147483647"},
  };
  for (const Case& c : cases) {
    const bs_request request = format_bs_request(c.bounds, c.frontend);
    char expected[kRequestSize] = {};
    std::memcpy(expected, c.text, std::strlen(c.text));
    EXPECT_EQ(std::string(request.bytes, kRequestSize),
              std::string(expected, kRequestSize))
        << c.text;
  }
}

TEST(BsStatus, AssignsNumbersUntilTheFirstBadOne) {
  struct Case {
    std::string text;
    int assigned;
    bs_status expected;
  };
  const bs_status before{5, 6, 7};
  const Case cases[] = {
      {"1 2 3", 3, {1, 2, 3}},
      {"0 12 0\n", 3, {0, 12, 0}},
      {"  1\t2\n3 4 5", 3, {1, 2, 3}},
      {"0 9", 2, {0, 9, 7}},
      {"", 0, before},
      {"busy", 0, before},
      {"1 x 3", 1, {1, 6, 7}},
      {"1 99999999999 3", 1, {1, 6, 7}},
      {"1 -2147483649 3", 1, {1, 6, 7}},
      {std::string("1\0 2 3", 6), 1, {1, 6, 7}},
      {"1-2+3", 3, {1, -2, 3}},
  };
  for (const Case& c : cases) {
    bs_status status = before;
    EXPECT_EQ(parse_bs_status(c.text.c_str(), status), c.assigned) << c.text;
    EXPECT_EQ(status.busy, c.expected.busy) << c.text;
    EXPECT_EQ(status.result_counter, c.expected.result_counter) << c.text;
    EXPECT_EQ(status.unused, c.expected.unused) << c.text;
  }
}

TEST(BsResult, AssignsTheNineFieldsInOrder) {
  bs_result result;
  EXPECT_EQ(parse_bs_result("1 1234000 27500000 1 2 0 3 1 0 99", result), 9);
  EXPECT_EQ(result.unused, 1);
  EXPECT_EQ(result.if_frequency, 1234000);
  EXPECT_EQ(result.symbol_rate, 27500000);
  EXPECT_EQ(result.is_dvb_s2, 1);
  EXPECT_EQ(result.inversion, 2);
  EXPECT_EQ(result.pilot, 0);
  EXPECT_EQ(result.fec, 3);
  EXPECT_EQ(result.is_8psk, 1);
  EXPECT_EQ(result.rolloff, 0);
}

TEST(BsResult, CountsOnlyWellFormedNumbers) {
  struct Case {
    std::string text;
    int assigned;
  };
  const Case cases[] = {
      {"0 1 2 3 4 5 6 7 8", 9},
      {"0 1 2 3 4 5 6 7", 8},
      {"0 1 2 3 4 5 6 7 x", 8},
      {"0 1 2 3 4 5 6 7 4294967296", 8},
      {std::string("0 1 2 3\0 4 5 6 7 8", 18), 4},
      {"", 0},
  };
  for (const Case& c : cases) {
    bs_result result;
    EXPECT_EQ(parse_bs_result(c.text.c_str(), result), c.assigned) << c.text;
  }
}

}  // namespace
}  // namespace blindscan
