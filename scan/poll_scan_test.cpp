#include "scan/poll_scan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "scan/fake_system.h"

namespace blindscan {
namespace {

// What the driver's files hold at one poll; nullopt: the file is missing.
struct driver_state {
  std::optional<std::string> control;
  std::optional<std::string> result;
};

// Runs poll_scan against a driver that shows states[i] at poll i and loses
// its control file once the states run out.
class PollScan : public ::testing::Test {
 protected:
  const frontend_paths paths = make_frontend_paths(0, "/fe");
  const std::string control = paths.control_path;
  const std::string result = paths.result_path;
  scan_settings settings;
  fake_system system;

  int run(const std::vector<driver_state>& states) {
    size_t poll = 0;
    show(states, poll);
    system.on_pause = [&] { show(states, ++poll); };
    return poll_scan(settings, paths, system);
  }

  void show(const std::vector<driver_state>& states, size_t poll) {
    const driver_state state = poll < states.size() ? states[poll] : driver_state{};
    set(control, state.control);
    set(result, state.result);
  }

  void set(const std::string& path, const std::optional<std::string>& text) {
    if (text) {
      system.files[path] = *text;
    } else {
      system.files.erase(path);
    }
  }
};

// An ordinary result whose line names its low-band frequency `mhz`.
std::string result_text(int mhz) {
  return "0 " + std::to_string((mhz - 9750) * 1000) + " 27500000 0 0 0 3 0 0";
}
std::string line_at(int mhz) {
  return "OK HORIZONTAL " + std::to_string(mhz * 1000) +
         " 27500000 DVB-S INVERSION_OFF PILOT_ON FEC_3_4 QPSK ROLLOFF_35 \n";
}

TEST_F(PollScan, Scenarios) {
  struct Case {
    const char* name;
    std::vector<driver_state> states;
    std::vector<std::string> lines;
    int pauses;
  };
  const Case cases[] = {
      {"done at once with counter 0", {{"0 0 0", result_text(10800)}}, {}, 1},
      {"counter stays 0",
       {{"1 0 0", result_text(10800)}, {"1 0 0", {}}, {"0 0 0", {}}}, {}, 3},
      {"done with a new counter in the same poll",
       {{"0 1 0", result_text(10800)}}, {line_at(10800)}, 1},
      {"one line per counter value",
       {{"1 1 0", result_text(10800)},
        {"1 1 0", result_text(10800)},
        {"1 2 0", result_text(10900)},
        {"0 2 0", result_text(10900)}},
       {line_at(10800), line_at(10900)}, 4},
      {"counter moved twice between polls: only the current result",
       {{"1 0 0", {}}, {"1 2 0", result_text(10900)}, {"0 2 0", {}}},
       {line_at(10900)}, 3},
      {"result file missing, then readable",
       {{"1 1 0", {}}, {"1 1 0", {}}, {"0 1 0", result_text(10800)}},
       {line_at(10800)}, 3},
      {"result file missing until the end", {{"1 1 0", {}}, {"0 1 0", {}}},
       {}, 2},
      {"control file vanishes mid-scan: ends without a pause",
       {{"1 1 0", result_text(10800)}, {{}, result_text(10800)}},
       {line_at(10800)}, 1},
      {"control file missing from the start", {{{}, result_text(10800)}}, {},
       0},
      {"counter back to an earlier value is new again",
       {{"1 1 0", result_text(10800)},
        {"1 2 0", result_text(10900)},
        {"0 1 0", result_text(11000)}},
       {line_at(10800), line_at(10900), line_at(11000)}, 3},
      {"counter back to 0 after a result is new",
       {{"1 5 0", result_text(10800)}, {"0 0 0", result_text(10900)}},
       {line_at(10800), line_at(10900)}, 2},
      {"negative counter",
       {{"1 -1 0", result_text(10800)}, {"0 -1 0", {}}}, {line_at(10800)}, 2},
      {"empty control text keeps busy and counter",
       {{"1 1 0", result_text(10800)}, {"", result_text(10900)},
        {"0 1 0", {}}},
       {line_at(10800)}, 3},
      {"short control text keeps the counter",
       {{"1 1 0", result_text(10800)}, {"1", result_text(10900)},
        {"0", {}}},
       {line_at(10800)}, 3},
      {"busy 0 without a counter ends the run",
       {{"1 1 0", result_text(10800)}, {"0", result_text(10900)}},
       {line_at(10800)}, 2},
      {"malformed counter keeps the old one",
       {{"1 1 0", result_text(10800)}, {"1 x 0", result_text(10900)},
        {"0 99999999999 0", result_text(10900)}},
       {line_at(10800)}, 3},
      {"NUL byte ends the control text",
       {{std::string("1\0 1 0", 6), result_text(10800)}, {"0 0 0", {}}}, {},
       2},
      {"extra numbers are ignored",
       {{"0 1 0 7 7 7", result_text(10800) + " 7 7 7"}}, {line_at(10800)}, 1},
  };
  for (const Case& c : cases) {
    system = fake_system{};
    EXPECT_EQ(run(c.states), 0) << c.name;
    EXPECT_EQ(system.printed, c.lines) << c.name;
    EXPECT_EQ(system.pauses, c.pauses) << c.name;
    EXPECT_EQ(system.open_descriptors(), 0u) << c.name;
  }
}

TEST_F(PollScan, IncompleteResultIsRetriedAndNeverMixed) {
  struct Case {
    const char* name;
    std::string bad;
  };
  const Case cases[] = {
      {"empty", ""},
      {"eight numbers", "0 1000000 27500000 1 1 1 9 1"},
      {"malformed ninth", "0 1000000 27500000 1 1 1 9 1 x"},
      {"out of range ninth", "0 1000000 27500000 1 1 1 9 1 2147483648"},
      {"NUL inside", std::string("0 1000000 27500000\0 1 1 1 9 1 1", 31)},
      {"stops after the frequency", "0 1000000"},
  };
  for (const Case& c : cases) {
    system = fake_system{};
    run({{"1 1 0", result_text(10800)},
         {"1 2 0", c.bad},
         {"1 2 0", c.bad},
         {"0 2 0", result_text(11000)}});
    EXPECT_EQ(system.printed,
              (std::vector<std::string>{line_at(10800), line_at(11000)}))
        << c.name;
  }
}

TEST_F(PollScan, FailingReadsAreTransient) {
  system.failing_reads = {result};
  size_t poll = 0;
  const std::vector<driver_state> states = {{"1 1 0", result_text(10800)},
                                            {"1 1 0", result_text(10800)},
                                            {"0 1 0", result_text(10800)}};
  show(states, 0);
  system.on_pause = [&] {
    show(states, ++poll);
    if (poll == 1) system.failing_reads = {control};
    if (poll == 2) system.failing_reads.clear();
  };
  EXPECT_EQ(poll_scan(settings, paths, system), 0);
  EXPECT_EQ(system.printed, std::vector<std::string>{line_at(10800)});
  EXPECT_EQ(system.pauses, 3);
}

TEST_F(PollScan, ReadsAtMost128BytesOfEachFile) {
  // Poll 0: the symbol rate lies past byte 128, so there is no result yet.
  // Poll 1: the counter is cut to "2" by the 128-byte read; poll 2 shows 23,
  // which is new again.
  run({{"1 1 0", "0 1250000 " + std::string(120, ' ') + "27500000 0 0 0 3 0 0"},
       {std::string(125, ' ') + "1 23 0", result_text(10900)},
       {"1 23 0", result_text(11000)},
       {"0 23 0", result_text(11000)}});
  EXPECT_EQ(system.printed,
            (std::vector<std::string>{line_at(10900), line_at(11000)}));
  EXPECT_EQ(system.pauses, 4);
}

TEST_F(PollScan, SystemCallsPerPoll) {
  run({{"1 0 0", {}}, {"0 1 0", result_text(10800)}});
  const std::vector<std::string> expected = {
      "open_read " + control, "read " + control, "close " + control, "pause",
      "open_read " + control, "read " + control, "close " + control,
      "open_read " + result,  "read " + result,  "print",
      "close " + result,      "pause"};
  EXPECT_EQ(system.calls, expected);
}

TEST_F(PollScan, UsesTheLnbSettings) {
  settings.vertical = 1;
  settings.c_band = 1;
  run({{"0 1 0", "0 1000000 22000000 1 1 0 2 1 1"}});
  EXPECT_EQ(system.printed,
            std::vector<std::string>{"OK VERTICAL 4150000 22000000 DVB-S2 "
                                     "INVERSION_ON PILOT_ON FEC_2_3 8PSK "
                                     "ROLLOFF_20 \n"});
}

}  // namespace
}  // namespace blindscan
