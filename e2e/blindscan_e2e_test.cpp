// The real blindscan binary against the simulated driver.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/scan_run.h"

namespace blindscan_e2e {
namespace {

const std::vector<std::string> kArgs = {"950", "2150", "2", "45", "0", "0", "0"};

// A DVB-S2 transponder at `khz` (Ku low band), and the line the tool prints.
std::string tp(int khz) {
  return "transponder " + std::to_string(khz) +
         " 27500000 DVB-S2 INVERSION_AUTO PILOT_OFF FEC_3_4 8PSK ROLLOFF_35\n";
}
std::string line(int khz) {
  return "OK HORIZONTAL " + std::to_string(khz) +
         " 27500000 DVB-S2 INVERSION_AUTO PILOT_OFF FEC_3_4 8PSK ROLLOFF_35 \n";
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    static const std::string missing = simulator_unavailable();
    if (missing.empty()) return;
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true") {
      FAIL() << missing;
    }
    GTEST_SKIP() << missing;
  }
};

std::vector<double> control_reads(const scan_run& run) {
  std::vector<double> times;
  for (const log_entry& e : run.events("open frontend/0/bs_ctrl O_RDONLY")) {
    times.push_back(e.time);
  }
  return times;
}

TEST_F(EndToEnd, RefusedCommandLineTouchesNothing) {
  const scan_run run = run_scan(tp(10800000), {"950", "2150", "2", "45", "0", "0"});
  EXPECT_EQ(run.status, 255);
  EXPECT_TRUE(run.lines.empty());
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.log.empty()) << run.log.front().event;
}

TEST_F(EndToEnd, RequestAsTheDriverSeesIt) {
  const scan_run run = run_scan(tp(10800000), kArgs);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.texts(), std::vector<std::string>{line(10800000)});
  ASSERT_GE(run.log.size(), 4u);
  EXPECT_EQ(run.log[0].event, "open frontend/0/bs_ctrl O_WRONLY");
  EXPECT_EQ(run.log[1].event,
            "write frontend/0/bs_ctrl offset 0 size 256 "
            "\"950000000 -2144967296 2000000 45000000 0\" + 216 NUL");
  EXPECT_EQ(run.log[2].event, "request bounds-mhz 950,2150,2,45 frontend 0");
  EXPECT_EQ(run.events("write").size(), 1u);
  EXPECT_TRUE(run.events("create").empty());
  EXPECT_TRUE(run.events("truncate").empty());
}

TEST_F(EndToEnd, WrappingBoundsReachTheDriverAsUnsignedMegahertz) {
  const scan_run run =
      run_scan("done\n", {"4294", "-2150", "3000", "5000", "0", "0", "0"});
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(run.events("request").size(), 1u);
  EXPECT_EQ(run.events("request")[0].event,
            "request bounds-mhz 4294,2144,3000,705 frontend 0");
  EXPECT_EQ(run.events("write")[0].event,
            "write frontend/0/bs_ctrl offset 0 size 256 "
            "\"-967296 2144967296 -1294967296 705032704 0\" + 214 NUL");
}

// Cadence tolerances leave room for an emulated tool; the benchmark measures.
TEST_F(EndToEnd, PollsOneSecondApartAndEndsOneSecondAfterDone) {
  const scan_run run = run_scan("wait 2\n", kArgs);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.lines.empty());
  const std::vector<double> reads = control_reads(run);
  ASSERT_EQ(reads.size(), 4u);  // three steps, then busy 0
  ASSERT_FALSE(run.events("write").empty());
  const double first = reads[0] - run.events("write")[0].time;
  EXPECT_GE(first, 1.0);
  EXPECT_LT(first, 1.5);
  for (size_t i = 1; i < reads.size(); ++i) {
    EXPECT_GE(reads[i] - reads[i - 1], 1.0) << "poll " << i;
    EXPECT_LT(reads[i] - reads[i - 1], 1.5) << "poll " << i;
  }
  EXPECT_GE(run.ended - reads.back(), 1.0);
  EXPECT_LT(run.ended - reads.back(), 1.5);
}

TEST_F(EndToEnd, EachLineArrivesBeforeTheNextPoll) {
  const scan_run run =
      run_scan(tp(10714000) + "wait\n" + tp(10729000) + "wait\n" + tp(10744000),
               kArgs);
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(run.texts(), (std::vector<std::string>{
                             line(10714000), line(10729000), line(10744000)}));
  const std::vector<log_entry> served = run.events("served frontend/0");
  const std::vector<double> reads = control_reads(run);
  ASSERT_EQ(served.size(), 3u);
  ASSERT_EQ(reads.size(), 4u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_GT(run.lines[i].time, served[i].time) << "line " << i;
    EXPECT_LT(run.lines[i].time, reads[i + 1]) << "line " << i;
  }
}

TEST_F(EndToEnd, VanishedControlFileEndsTheRunAtOnce) {
  const scan_run run = run_scan(tp(10714000) + "wait\nvanish control\n", kArgs);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.texts(), std::vector<std::string>{line(10714000)});
  const std::vector<double> reads = control_reads(run);
  ASSERT_EQ(reads.size(), 2u);
  // The pause after the last poll, then a failed open and no further pause.
  EXPECT_GE(run.ended - reads.back(), 1.0);
  EXPECT_LT(run.ended - reads.back(), 1.5);
}

TEST_F(EndToEnd, MissingFrontendEndsAfterOneSecond) {
  const scan_run run = run_scan(tp(10714000), {"950", "2150", "2", "45", "0", "0", "5"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.lines.empty());
  EXPECT_TRUE(run.log.empty());
  EXPECT_GE(run.ended - run.started, 1.0);
  EXPECT_LT(run.ended - run.started, 3.0);  // room for an emulated start-up
}

TEST_F(EndToEnd, ScanThatNeverEndsKeepsItsFlushedLines) {
  const scan_run run =
      run_scan("forever\n" + tp(10714000), kArgs, {"timeout", "6"});
  EXPECT_EQ(run.status, 124);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.texts(), std::vector<std::string>{line(10714000)});
  EXPECT_GE(control_reads(run).size(), 2u);
}

// A captured report replayed through the simulator comes out unchanged.
TEST_F(EndToEnd, ReplayReproducesACapturedScan) {
  const std::string capture =
      std::string(BLINDSCAN_SOURCE_DIR) + "/sim/scenarios/sample-capture.txt";
  std::ifstream in(capture);
  std::vector<std::string> expected;
  for (std::string text; std::getline(in, text);) expected.push_back(text + "\n");
  ASSERT_FALSE(expected.empty());
  const scan_run run = run_scan("", {"950", "2150", "2", "45", "1", "0", "0"}, {},
                                {"--replay", capture});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.texts(), expected);
}

TEST_F(EndToEnd, SimulatorNamesTheBadLineOfAScenario) {
  const scan_run run = run_scan("wait\n\nbogus 1\n", kArgs);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(".scenario:3: unknown keyword 'bogus'\n"), std::string::npos)
      << run.err;
  EXPECT_TRUE(run.lines.empty());
  EXPECT_TRUE(run.log.empty());
}

// Tracing and heap checks see the native binary only, not an emulator.
class NativeCost : public EndToEnd {
 protected:
  void SetUp() override {
    EndToEnd::SetUp();
    const char* tool = std::getenv("BLINDSCAN_TOOL");
    if (tool != nullptr && *tool != '\0') GTEST_SKIP() << "emulated tool";
    if (std::getenv("BLINDSCAN_SANITIZED") != nullptr) {
      GTEST_SKIP() << "sanitized tool";
    }
  }
};

// Counts the system calls between two pauses: "idle N" or "printing N".
std::vector<std::string> calls_per_poll(const std::string& trace_path) {
  std::ifstream trace(trace_path);
  std::vector<std::string> polls;
  int count = 0;
  bool printed = false, paused = false;
  for (std::string call; std::getline(trace, call);) {
    if (call.rfind("clock_nanosleep(", 0) == 0 || call.rfind("nanosleep(", 0) == 0) {
      if (paused) polls.push_back((printed ? "printing " : "idle ") + std::to_string(count));
      paused = true;
      count = 0;
      printed = false;
      continue;
    }
    if (call.rfind("exit_group(", 0) == 0) continue;
    if (call.rfind("write(1,", 0) == 0) printed = true;
    ++count;
  }
  return polls;
}

TEST_F(NativeCost, ThreeSystemCallsPerIdlePollAndSevenPerPrintingPoll) {
  char trace[] = "/tmp/blindscan-e2e-trace.XXXXXX";
  close(mkstemp(trace));
  const scan_run run = run_scan(tp(10714000) + "wait\nwait\n" + tp(10729000), kArgs,
                                {"strace", "-qq", "-o", trace});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.lines.size(), 2u);
  EXPECT_EQ(calls_per_poll(trace),
            (std::vector<std::string>{"printing 7", "idle 3", "printing 7", "idle 3"}));
  std::remove(trace);
}

TEST_F(NativeCost, AWholeRunAllocatesNothing) {
  const scan_run run = run_scan(tp(10714000) + "wait\n" + tp(10729000), kArgs,
                                {"valgrind", "--error-exitcode=99"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.lines.size(), 2u);
  EXPECT_NE(run.err.find("total heap usage: 0 allocs, 0 frees"), std::string::npos)
      << run.err;
}

struct fault_case {
  const char* name;
  std::string scenario;
  std::vector<std::string> lines;
  std::vector<std::string> args = kArgs;
};

void PrintTo(const fault_case& c, std::ostream* out) { *out << c.name; }

class Faults : public EndToEnd,
               public ::testing::WithParamInterface<fault_case> {};

TEST_P(Faults, PrintsExactlyWhatTheDriverLetsItKeep) {
  const fault_case& c = GetParam();
  const scan_run run = run_scan(c.scenario, c.args);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.texts(), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Driver, Faults,
    ::testing::Values(
        fault_case{"control_read_eio", "fail control eio\n" + tp(10714000),
                   {line(10714000)}},
        fault_case{"control_read_empty", "fail control empty 2\n" + tp(10714000),
                   {line(10714000)}},
        fault_case{"result_read_eio", "fail result eio 2\n" + tp(10714000) + "wait 3\n",
                   {line(10714000)}},
        fault_case{"result_read_empty",
                   "fail result empty 2\n" + tp(10714000) + "wait 3\n",
                   {line(10714000)}},
        fault_case{"result_missing", "hide-result 2\n" + tp(10714000) + "wait 3\n",
                   {line(10714000)}},
        fault_case{"result_missing_until_the_end",
                   "hide-result 9\n" + tp(10714000) + "wait\n", {}},
        fault_case{"request_write_fails", "request eio\n" + tp(10714000), {}},
        fault_case{"request_write_short", "request short\n" + tp(10714000), {}},
        fault_case{"control_vanishes",
                   tp(10714000) + "wait\n" + tp(10729000) + "vanish control\nwait\n" +
                       tp(10744000),
                   {line(10714000), line(10729000)}},
        fault_case{"frontend_vanishes",
                   tp(10714000) + "wait\n" + tp(10729000) + "vanish frontend\nwait\n" +
                       tp(10744000),
                   {line(10714000)}},
        fault_case{"short_control_text",
                   tp(10714000) + "control \"1\"\nwait\n" + tp(10729000),
                   {line(10729000)}},
        fault_case{"malformed_control_text",
                   tp(10714000) + "control \"busy\"\nwait\ncontrol \"1 x 0\"\nwait\n",
                   {line(10714000)}},
        fault_case{"malformed_result",
                   tp(10714000) + "wait\nresult-text \"0 1 2 x\"\nwait\n" + tp(10744000),
                   {line(10714000), line(10744000)}},
        fault_case{"out_of_range_result",
                   tp(10714000) +
                       "wait\nresult-text \"0 1 2 3 4 5 6 7 2147483648\"\nwait\n" +
                       tp(10744000),
                   {line(10714000), line(10744000)}},
        fault_case{"overlong_texts",
                   tp(10714000) + "wait\nresult-text \"" + std::string(125, ' ') +
                       "0 964000 27500000 1 2 1 3 1 0\"\nwait\ncontrol \"" +
                       std::string(130, ' ') + "0 0 0\"\nwait\n" + tp(10759000),
                   {line(10714000), line(10759000)}},
        fault_case{"nul_in_texts",
                   "control \"1\\0 1 0\"\n" + tp(10714000) +
                       "wait\nresult-text \"0 964000\\0 27500000 1 2 1 3 1 0\"\nwait\n" +
                       tp(10744000),
                   {line(10744000)}},
        fault_case{"several_results_between_polls",
                   tp(10714000) + tp(10729000) + "wait\n" + tp(10744000) + tp(10759000),
                   {line(10729000), line(10759000)}},
        fault_case{"counter_returns_to_an_earlier_value",
                   tp(10714000) + "wait\n" + tp(10729000) + "wait\n" + tp(10744000) +
                       "counter 1\n",
                   {line(10714000), line(10729000), line(10744000)}},
        fault_case{"done_with_a_new_result", tp(10714000) + "done\n",
                   {line(10714000)}},
        fault_case{"counter_stays_0", "wait 2\n", {}},
        fault_case{"second_frontend",
                   "frontend 0\n" + tp(10714000) + "frontend 1\n" + tp(10729000),
                   {line(10729000)},
                   {"950", "2150", "2", "45", "0", "0", "1"}}),
    [](const ::testing::TestParamInfo<fault_case>& param) {
      return std::string(param.param.name);
    });

}  // namespace
}  // namespace blindscan_e2e
