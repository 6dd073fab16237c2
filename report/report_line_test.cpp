#include "report/report_line.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/decimal.h"

#if __has_include(<linux/dvb/frontend.h>)
#include <linux/dvb/frontend.h>
#define BLINDSCAN_HAVE_DVB_HEADER 1
#endif

namespace blindscan {
namespace {

scan_settings lnb(int32_t vertical, int32_t high_band, int32_t c_band) {
  scan_settings settings;
  settings.vertical = vertical;
  settings.high_band = high_band;
  settings.c_band = c_band;
  return settings;
}

bs_result result_at(int32_t if_frequency, int32_t symbol_rate) {
  bs_result result;
  result.if_frequency = if_frequency;
  result.symbol_rate = symbol_rate;
  return result;
}

TEST(ReportLine, ConvertsFrequencyAndSymbolRate) {
  struct Case {
    const char* name;
    scan_settings settings;
    bs_result result;
    const char* line;
  };
  const Case cases[] = {
      {"Ku low", lnb(0, 0, 0), result_at(1000000, 27500000),
       "OK HORIZONTAL 10750000 27500000 DVB-S INVERSION_OFF PILOT_ON FEC_NONE "
       "QPSK ROLLOFF_35 \n"},
      {"Ku high", lnb(0, 1, 0), result_at(1000000, 27500000),
       "OK HORIZONTAL 11600000 27500000 DVB-S INVERSION_OFF PILOT_ON FEC_NONE "
       "QPSK ROLLOFF_35 \n"},
      {"C-band", lnb(0, 0, 1), result_at(1000000, 27500000),
       "OK HORIZONTAL 4150000 27500000 DVB-S INVERSION_OFF PILOT_ON FEC_NONE "
       "QPSK ROLLOFF_35 \n"},
      {"C-band whatever high_band", lnb(1, 1, -3), result_at(1000000, 0),
       "OK VERTICAL 4150000 0 DVB-S INVERSION_OFF PILOT_ON FEC_NONE QPSK "
       "ROLLOFF_35 \n"},
      {"negative flags count", lnb(-1, -1, 0), result_at(0, 0),
       "OK VERTICAL 10600000 0 DVB-S INVERSION_OFF PILOT_ON FEC_NONE QPSK "
       "ROLLOFF_35 \n"},
      {"Ku high wraps past INT32_MAX", lnb(0, 1, 0), result_at(INT32_MAX, 0),
       "OK HORIZONTAL -2136883649 0 DVB-S INVERSION_OFF PILOT_ON FEC_NONE QPSK "
       "ROLLOFF_35 \n"},
      {"Ku low wraps past INT32_MAX", lnb(0, 0, 0),
       result_at(INT32_MAX - 9749999, 0),
       "OK HORIZONTAL -2147483648 0 DVB-S INVERSION_OFF PILOT_ON FEC_NONE QPSK "
       "ROLLOFF_35 \n"},
      {"C-band wraps below INT32_MIN", lnb(0, 0, 1), result_at(INT32_MIN, 0),
       "OK HORIZONTAL -2142333648 0 DVB-S INVERSION_OFF PILOT_ON FEC_NONE QPSK "
       "ROLLOFF_35 \n"},
      {"C-band of a negative input", lnb(0, 0, 1), result_at(-1000, 0),
       "OK HORIZONTAL 5151000 0 DVB-S INVERSION_OFF PILOT_ON FEC_NONE QPSK "
       "ROLLOFF_35 \n"},
      {"symbol rate 999", lnb(0, 0, 0), result_at(0, 999),
       "OK HORIZONTAL 9750000 0 DVB-S INVERSION_OFF PILOT_ON FEC_NONE QPSK "
       "ROLLOFF_35 \n"},
      {"symbol rate -1", lnb(0, 0, 0), result_at(0, -1),
       "OK HORIZONTAL 9750000 -296 DVB-S INVERSION_OFF PILOT_ON FEC_NONE QPSK "
       "ROLLOFF_35 \n"},
      {"symbol rate 27499999", lnb(0, 0, 0), result_at(0, 27499999),
       "OK HORIZONTAL 9750000 27499000 DVB-S INVERSION_OFF PILOT_ON FEC_NONE "
       "QPSK ROLLOFF_35 \n"},
      {"symbol rate INT32_MIN", lnb(0, 0, 0), result_at(0, INT32_MIN),
       "OK HORIZONTAL 9750000 2147483000 DVB-S INVERSION_OFF PILOT_ON "
       "FEC_NONE QPSK ROLLOFF_35 \n"},
      {"symbol rate rounded into the negative", lnb(0, 0, 0),
       result_at(0, -2147483000),
       "OK HORIZONTAL 9750000 -2147483296 DVB-S INVERSION_OFF PILOT_ON "
       "FEC_NONE QPSK ROLLOFF_35 \n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::string(format_report_line(c.settings, c.result).text),
              c.line)
        << c.name;
  }
}

TEST(ReportLine, NamesCodesAndLeavesUnknownOnesEmpty) {
  struct Case {
    const char* name;
    int32_t is_dvb_s2, inversion, pilot, fec, is_8psk, rolloff;
    const char* tail;  // the line after the symbol rate
  };
  const Case cases[] = {
      {"DVB-S2 8PSK", 1, 1, 1, 3, 1, 1,
       "DVB-S2 INVERSION_ON PILOT_OFF FEC_3_4 8PSK ROLLOFF_20 \n"},
      {"negative flags", -7, 2, 2, 9, INT32_MIN, 3,
       "DVB-S2 INVERSION_AUTO PILOT_AUTO FEC_AUTO 8PSK ROLLOFF_AUTO \n"},
      {"fec 13", 0, 0, 0, 13, 0, 2,
       "DVB-S INVERSION_OFF PILOT_ON  QPSK ROLLOFF_25 \n"},
      {"fec -1", 0, 0, 0, -1, 0, 0,
       "DVB-S INVERSION_OFF PILOT_ON  QPSK ROLLOFF_35 \n"},
      {"rolloff 4", 0, 0, 0, 0, 0, 4,
       "DVB-S INVERSION_OFF PILOT_ON FEC_NONE QPSK  \n"},
      {"all unknown", 0, 3, 3, 13, 0, -1, "DVB-S    QPSK  \n"},
      {"all negative", 0, -1, INT32_MIN, INT32_MIN, 0, INT32_MIN,
       "DVB-S    QPSK  \n"},
  };
  for (const Case& c : cases) {
    bs_result result;
    result.is_dvb_s2 = c.is_dvb_s2;
    result.inversion = c.inversion;
    result.pilot = c.pilot;
    result.fec = c.fec;
    result.is_8psk = c.is_8psk;
    result.rolloff = c.rolloff;
    EXPECT_EQ(std::string(format_report_line(lnb(0, 0, 0), result).text),
              std::string("OK HORIZONTAL 9750000 0 ") + c.tail)
        << c.name;
  }
}

TEST(ReportLine, NamesEveryFecCode) {
  const char* const names[] = {
      "FEC_NONE", "FEC_1_2", "FEC_2_3", "FEC_3_4", "FEC_4_5",
      "FEC_5_6",  "FEC_6_7", "FEC_7_8", "FEC_8_9", "FEC_AUTO",
      "FEC_3_5",  "FEC_9_10", "FEC_2_5"};
  for (int32_t code = 0; code < 13; ++code) {
    EXPECT_STREQ(fec_name(code), names[code]) << code;
  }
  for (const int32_t code : {13, 14, 100, -1, INT32_MIN, INT32_MAX}) {
    EXPECT_STREQ(fec_name(code), "") << code;
  }
}

TEST(ReportLine, LongestLineFitsItsBuffer) {
  scan_settings settings = lnb(0, 0, 1);
  bs_result result;
  result.if_frequency = wrapping_subtract(5150000, INT32_MIN);
  result.symbol_rate = -2147483000;
  result.is_dvb_s2 = 1;
  result.inversion = 2;
  result.pilot = 2;
  result.fec = 0;
  result.is_8psk = 1;
  result.rolloff = 3;
  const std::string longest =
      "OK HORIZONTAL -2147483648 -2147483296 DVB-S2 INVERSION_AUTO PILOT_AUTO "
      "FEC_NONE 8PSK ROLLOFF_AUTO \n";
  EXPECT_EQ(longest.size(), kMaxReportLineLength);
  const std::string line = format_report_line(settings, result).text;
  EXPECT_EQ(line, longest);
}

#ifdef BLINDSCAN_HAVE_DVB_HEADER
// The names are those of the Linux DVB frontend API, checked against the
// build machine's kernel headers.
TEST(ReportLine, NamesMatchTheLinuxDvbApi) {
  struct Named {
    int value;
    const char* name;
    const char* (*lookup)(int32_t);
  };
#define NAMED(value, lookup) {value, #value, lookup}
  const Named names[] = {
      NAMED(INVERSION_OFF, inversion_name), NAMED(INVERSION_ON, inversion_name),
      NAMED(INVERSION_AUTO, inversion_name), NAMED(PILOT_ON, pilot_name),
      NAMED(PILOT_OFF, pilot_name),         NAMED(PILOT_AUTO, pilot_name),
      NAMED(FEC_NONE, fec_name),            NAMED(FEC_1_2, fec_name),
      NAMED(FEC_2_3, fec_name),             NAMED(FEC_3_4, fec_name),
      NAMED(FEC_4_5, fec_name),             NAMED(FEC_5_6, fec_name),
      NAMED(FEC_6_7, fec_name),             NAMED(FEC_7_8, fec_name),
      NAMED(FEC_8_9, fec_name),             NAMED(FEC_AUTO, fec_name),
      NAMED(FEC_3_5, fec_name),             NAMED(FEC_9_10, fec_name),
      NAMED(FEC_2_5, fec_name),             NAMED(ROLLOFF_35, rolloff_name),
      NAMED(ROLLOFF_20, rolloff_name),      NAMED(ROLLOFF_25, rolloff_name),
      NAMED(ROLLOFF_AUTO, rolloff_name),
  };
#undef NAMED
  for (const Named& n : names) {
    EXPECT_STREQ(n.lookup(n.value), n.name) << n.name << " = " << n.value;
  }
}
#endif

}  // namespace
}  // namespace blindscan
