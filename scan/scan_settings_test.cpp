#include "scan/scan_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace blindscan {
namespace {

std::optional<scan_settings> parse(const std::vector<const char*>& args) {
  std::vector<const char*> argv{"blindscan"};
  argv.insert(argv.end(), args.begin(), args.end());
  return parse_scan_settings(static_cast<int>(argv.size()), argv.data());
}

std::string describe(const std::vector<const char*>& args) {
  std::string text;
  for (const char* arg : args) text += std::string("[") + arg + "]";
  return text.empty() ? "(none)" : text;
}

TEST(ScanSettings, AcceptedCommandLines) {
  struct Case {
    std::vector<const char*> args;
    scan_settings expected;
  };
  const Case cases[] = {
      {{"950", "2150", "2", "45", "1", "0", "0"},
       {{950, 2150, 2, 45}, 1, 0, 0, 0}},
      {{"950", "2150", "2", "45", "0", "0", "0"},
       {{950, 2150, 2, 45}, 0, 0, 0, 0}},
      {{"1", "2", "3", "4", "5", "6", "7", "8", "9"},
       {{1, 2, 3, 4}, 5, 6, 7, 9}},
      {{"1", "2", "3", "4", "5", "6", "7", "junk", "-9", "junk", "", "x"},
       {{1, 2, 3, 4}, 5, 6, 7, -9}},
      {{"1", "2", "3", "4", "5", "6", "7", "99999999999"},
       {{1, 2, 3, 4}, 5, 6, 7, 0}},
      {{"+12", " 7", "12abc", "-3", "-1", "-2", "+0"},
       {{12, 7, 12, -3}, -1, -2, 0, 0}},
      {{"\t1", "2\n", "3 4", "4.5", "0x", "1e9", "2147483647"},
       {{1, 2, 3, 4}, 0, 1, 2147483647, 0}},
      {{"-2147483648", "2147483647", "1", "1", "0", "0", "0"},
       {{INT32_MIN, INT32_MAX, 1, 1}, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const auto settings = parse(c.args);
    ASSERT_TRUE(settings.has_value()) << describe(c.args);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(settings->scan_bounds[i], c.expected.scan_bounds[i])
          << describe(c.args) << " bound " << i;
    }
    EXPECT_EQ(settings->vertical, c.expected.vertical) << describe(c.args);
    EXPECT_EQ(settings->high_band, c.expected.high_band) << describe(c.args);
    EXPECT_EQ(settings->frontend_index, c.expected.frontend_index)
        << describe(c.args);
    EXPECT_EQ(settings->c_band, c.expected.c_band) << describe(c.args);
  }
}

TEST(ScanSettings, RefusedCommandLines) {
  const std::vector<const char*> cases[] = {
      {},
      {"950", "2150", "2", "45", "1", "0"},
      {"0", "2150", "2", "45", "1", "0", "0"},
      {"950", "0", "2", "45", "1", "0", "0"},
      {"950", "2150", "0", "45000", "1", "0", "0"},
      {"950", "2150", "2000", "-0", "1", "0", "0"},
      {"950", "2150", "2", "45", "1", "0", "-1"},
      {"950", "2150", "2", "45", "1", "0", "-2147483648"},
      {"0x10", "2150", "2", "45", "1", "0", "0"},
      {"abc", "2150", "2", "45", "1", "0", "0"},
      {"950", "", "2", "45", "1", "0", "0"},
      {"950", "2150", " ", "45000", "1", "0", "0"},
      {"950", "2150", "2000", "+", "1", "0", "0"},
      {"950", "2150", "2", "45", "x", "0", "0"},
      {"950", "2150", "2", "45", "1", "high", "0"},
      {"950", "2150", "2", "45", "1", "0", "one"},
      {"950", "2150", "2", "45", "1", "0", "0", "0", "c"},
      {"950", "2150", "2", "45", "1", "0", "0", "0", ""},
      {"2147483648", "2150", "2", "45", "1", "0", "0"},
      {"950", "-2147483649", "2", "45", "1", "0", "0"},
      {"950", "2150", "2", "45", "4294967296", "0", "0"},
      {"950", "2150", "2", "45", "1", "0", "0", "0", "4294967297"},
  };
  for (const auto& args : cases) {
    EXPECT_FALSE(parse(args).has_value()) << describe(args);
  }
}

}  // namespace
}  // namespace blindscan
