#include "sim/scenario.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "driver/bs_files.h"
#include "report/report_line.h"

namespace blindscan_sim {
namespace {

std::optional<scenario> parse(const std::string& text) {
  scenario_error error;
  return parse_scenario(text, error);
}

TEST(Scenario, BuildsStepsPerFrontend) {
  const auto s = parse(
      "# a comment\n"
      "pace 1200\n"
      "lnb ku-high\n"
      "result 0 1 2 3 4 5 6 7 8   # first step\n"
      "control \"1 x\\0 \\x41\"\n"
      "wait 2\n"
      "result-text \"garbage\"\n"
      "frontend 3\n"
      "request short\n"
      "forever\n"
      "fail control eio 2\n"
      "vanish frontend\n");
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->pace_ms, 1200);
  EXPECT_EQ(s->lnb, lnb_kind::ku_high);
  ASSERT_EQ(s->frontends.size(), 2u);
  const frontend_script& zero = s->frontends[0];
  EXPECT_EQ(zero.index, 0);
  ASSERT_EQ(zero.steps.size(), 3u);
  ASSERT_EQ(zero.steps[0].actions.size(), 2u);
  EXPECT_EQ(zero.steps[0].actions[0].text, "0 1 2 3 4 5 6 7 8\n");
  EXPECT_EQ(zero.steps[0].actions[1].text, std::string("1 x\0 A", 6));
  EXPECT_TRUE(zero.steps[1].actions.empty());
  EXPECT_EQ(zero.steps[2].actions[0].text, "garbage");
  const frontend_script& three = s->frontends[1];
  EXPECT_EQ(three.index, 3);
  EXPECT_TRUE(three.forever);
  EXPECT_EQ(three.request, request_fault::short_write);
  ASSERT_EQ(three.steps.size(), 1u);
  EXPECT_EQ(three.steps[0].actions[0].number, 2);
  EXPECT_EQ(three.steps[0].actions[1].file, driver_file::frontend);
}

TEST(Scenario, FirstFrontendLineNamesTheFirstFrontend) {
  const auto s = parse("frontend 2\nresult 0 1 2 3 4 5 6 7 8\n");
  ASSERT_TRUE(s.has_value());
  ASSERT_EQ(s->frontends.size(), 1u);
  EXPECT_EQ(s->frontends[0].index, 2);
  EXPECT_EQ(parse("")->frontends.size(), 1u);
}

TEST(Scenario, ErrorsNameTheLine) {
  struct Case {
    const char* text;
    int line;
    const char* message;
  };
  const Case cases[] = {
      {"bogus", 1, "unknown keyword 'bogus'"},
      {"\n\nresult 1 2 3", 3, "'result' takes 9 arguments"},
      {"result 0 1 2 3 4 5 6 7 x", 1, "'result': 'x' is no int32"},
      {"result 0 1 2 3 4 5 6 7 2147483648", 1,
       "'result': '2147483648' is no int32"},
      {"pace -5", 1,
       "'pace': expected 'polls' or a number of milliseconds above 0"},
      {"wait 0", 1, "'wait': expected a number of steps above 0"},
      {"control \"open", 1, "unterminated quote"},
      {"control \"\\q\"", 1, "unknown escape \\q"},
      {"fail frontend eio", 1, "'fail': expected control or result"},
      {"fail control slow", 1, "'fail': expected eio or empty"},
      {"frontend 1\nfrontend 1", 2, "'frontend': frontend declared twice"},
      {"frontend -1", 1, "'frontend': expected an index >= 0"},
      {"transponder 1 2 3 4 5 6 7 8", 1, "'transponder': fields not understood"},
      {"lnb x-band", 1, "'lnb': expected ku-low, ku-high or c-band"},
      {"request maybe", 1, "'request': expected ok, eio, short or ignored"},
  };
  for (const Case& c : cases) {
    scenario_error error;
    EXPECT_FALSE(parse_scenario(c.text, error).has_value()) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_EQ(error.message, c.message) << c.text;
  }
}

// A report line turned into a result and back gives the same line, for every
// LNB: the simulator undoes exactly the tool's local-oscillator conversion.
TEST(Scenario, TransponderRoundTripsThroughTheReport) {
  struct Case {
    lnb_kind lnb;
    int32_t high_band, c_band;
    const char* line;
  };
  const Case cases[] = {
      {lnb_kind::ku_low, 0, 0,
       "OK HORIZONTAL 10773000 22000000 DVB-S INVERSION_AUTO PILOT_OFF FEC_3_4 "
       "QPSK ROLLOFF_35 \n"},
      {lnb_kind::ku_high, 1, 0,
       "OK HORIZONTAL 12188000 27500000 DVB-S2 INVERSION_ON PILOT_ON FEC_9_10 "
       "8PSK ROLLOFF_AUTO \n"},
      {lnb_kind::c_band, 0, 1,
       "OK HORIZONTAL 3840000 27500000 DVB-S2 INVERSION_OFF PILOT_AUTO "
       "FEC_2_5 QPSK ROLLOFF_25 \n"},
      {lnb_kind::ku_low, 0, 0,
       "OK HORIZONTAL 10714000 1000 DVB-S    QPSK  \n"},
      {lnb_kind::ku_low, 0, 0,
       "OK HORIZONTAL -2147483648 0 DVB-S INVERSION_OFF PILOT_ON  QPSK "
       "ROLLOFF_20 \n"},
  };
  for (const Case& c : cases) {
    scenario_error error;
    const auto s = replay_scenario(c.line, c.lnb, 0, 0, error);
    ASSERT_TRUE(s.has_value()) << c.line << error.message;
    const std::string text = s->frontends[0].steps[0].actions[0].text;
    blindscan::bs_result result;
    ASSERT_EQ(blindscan::parse_bs_result(text.c_str(), result), 9) << text;
    blindscan::scan_settings settings;
    settings.high_band = c.high_band;
    settings.c_band = c.c_band;
    EXPECT_EQ(std::string(blindscan::format_report_line(settings, result).text),
              c.line);
  }
}

TEST(Scenario, ReplayTakesOnlyReportLines) {
  scenario_error error;
  const auto s = replay_scenario(
      "junk\n"
      "OK VERTICAL 11000000 27500000 DVB-S INVERSION_OFF PILOT_ON FEC_1_2 "
      "QPSK ROLLOFF_35 \n"
      "\n"
      "OK VERTICAL 11100000 27500000 DVB-S INVERSION_OFF PILOT_ON FEC_1_2 "
      "QPSK ROLLOFF_35 \n",
      lnb_kind::ku_low, 1, 500, error);
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->pace_ms, 500);
  EXPECT_EQ(s->frontends[0].index, 1);
  EXPECT_EQ(s->frontends[0].steps.size(), 2u);

  EXPECT_FALSE(replay_scenario("nothing here\n", lnb_kind::ku_low, 0, 0, error));
  EXPECT_EQ(error.message, "no \"OK\" report line found");
  EXPECT_FALSE(replay_scenario("x\nOK VERTICAL 1 2\n", lnb_kind::ku_low, 0, 0,
                               error));
  EXPECT_EQ(error.line, 2);
}

TEST(Scenario, BundledScenariosParse) {
  for (const char* name : {"ku-band-sweep.scenario", "faults.scenario"}) {
    std::ifstream in(std::string(BLINDSCAN_SOURCE_DIR) + "/sim/scenarios/" + name);
    std::ostringstream text;
    text << in.rdbuf();
    ASSERT_FALSE(text.str().empty()) << name;
    scenario_error error;
    EXPECT_TRUE(parse_scenario(text.str(), error).has_value())
        << name << ":" << error.line << ": " << error.message;
  }
}

}  // namespace
}  // namespace blindscan_sim
