#include "scan/blindscan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/fake_system.h"

namespace blindscan {
namespace {

int run(fake_system& system, std::vector<const char*> args) {
  args.insert(args.begin(), "blindscan");
  return run_blindscan(static_cast<int>(args.size()), args.data(), system,
                       "/fe");
}

TEST(RunBlindscan, RefusedCommandLineTouchesNothing) {
  fake_system system;
  system.files["/fe/0/bs_ctrl"] = "0 0 0";
  EXPECT_EQ(run(system, {}), -1);
  EXPECT_EQ(run(system, {"950", "2150", "2", "45", "1", "0"}), -1);
  EXPECT_EQ(run(system, {"0", "2150", "2", "45", "1", "0", "0"}), -1);
  EXPECT_TRUE(system.calls.empty());
}

TEST(RunBlindscan, RequestsThenPausesThenPolls) {
  fake_system system;
  system.files["/fe/2/bs_ctrl"] = "";
  system.on_pause = [&] { system.files["/fe/2/bs_ctrl"] = "0 0 0"; };
  EXPECT_EQ(run(system, {"950", "2150", "2", "45", "0", "0", "2"}), 0);
  const std::vector<std::string> expected = {
      "open_write /fe/2/bs_ctrl", "write /fe/2/bs_ctrl 256",
      "close /fe/2/bs_ctrl",      "pause",
      "open_read /fe/2/bs_ctrl",  "read /fe/2/bs_ctrl",
      "close /fe/2/bs_ctrl",      "pause"};
  EXPECT_EQ(system.calls, expected);
}

TEST(RunBlindscan, MissingFrontendPausesOnceAndEnds) {
  fake_system system;
  EXPECT_EQ(run(system, {"950", "2150", "2", "45", "0", "0", "4"}), 0);
  const std::vector<std::string> expected = {
      "open_write /fe/4/bs_ctrl", "pause", "open_read /fe/4/bs_ctrl"};
  EXPECT_EQ(system.calls, expected);
  EXPECT_TRUE(system.files.empty());
}

TEST(StartScan, WritesTheWholeRequestOverTheStartOfTheFile) {
  fake_system system;
  const std::string before(300, 'x');
  system.files["/fe/1/bs_ctrl"] = before;
  scan_settings settings;
  settings.scan_bounds[0] = 950;
  settings.scan_bounds[1] = 2150;
  settings.scan_bounds[2] = 2;
  settings.scan_bounds[3] = 45;
  settings.frontend_index = 1;
  start_scan(settings, make_frontend_paths(1, "/fe"), system);
  const std::string text = "950000000 -2144967296 2000000 45000000 1";
  std::string expected = text + std::string(256 - text.size(), '\0') +
                         before.substr(256);
  EXPECT_EQ(system.files["/fe/1/bs_ctrl"], expected);
}

}  // namespace
}  // namespace blindscan
