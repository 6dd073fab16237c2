// Conversion of a driver result into a report line.
#include "report/report_line.h"

#include <cstdint>
#include <cstdio>

#include "driver/decimal.h"

namespace blindscan {

namespace {

constexpr int32_t kCBandOscillator = 5150000;
constexpr int32_t kKuHighOscillator = 10600000;
constexpr int32_t kKuLowOscillator = 9750000;

template <size_t N>
const char* name_in(const char* const (&names)[N], int32_t code) {
  const auto index = static_cast<uint32_t>(code);
  return index < N ? names[index] : "";
}

int32_t transponder_frequency(const scan_settings& settings,
                              int32_t if_frequency) {
  if (settings.c_band != 0) {
    return wrapping_subtract(kCBandOscillator, if_frequency);
  }
  if (settings.high_band != 0) {
    return wrapping_add(if_frequency, kKuHighOscillator);
  }
  return wrapping_add(if_frequency, kKuLowOscillator);
}

int32_t rounded_symbol_rate(int32_t symbol_rate) {
  const auto rate = static_cast<uint32_t>(symbol_rate);
  return static_cast<int32_t>(rate / 1000u * 1000u);
}

}  // namespace

const char* inversion_name(int32_t code) {
  static constexpr const char* kNames[] = {"INVERSION_OFF", "INVERSION_ON",
                                           "INVERSION_AUTO"};
  return name_in(kNames, code);
}

const char* pilot_name(int32_t code) {
  static constexpr const char* kNames[] = {"PILOT_ON", "PILOT_OFF",
                                           "PILOT_AUTO"};
  return name_in(kNames, code);
}

const char* fec_name(int32_t code) {
  static constexpr const char* kNames[] = {
      "FEC_NONE", "FEC_1_2",  "FEC_2_3", "FEC_3_4", "FEC_4_5",
      "FEC_5_6",  "FEC_6_7",  "FEC_7_8", "FEC_8_9", "FEC_AUTO",
      "FEC_3_5",  "FEC_9_10", "FEC_2_5"};
  return name_in(kNames, code);
}

const char* rolloff_name(int32_t code) {
  static constexpr const char* kNames[] = {"ROLLOFF_35", "ROLLOFF_20",
                                           "ROLLOFF_25", "ROLLOFF_AUTO"};
  return name_in(kNames, code);
}

report_line format_report_line(const scan_settings& settings,
                               const bs_result& result) {
  report_line line{};
  (void)std::snprintf(
      line.text, sizeof line.text, "OK %s %d %d %s %s %s %s %s %s \n",
      settings.vertical != 0 ? "VERTICAL" : "HORIZONTAL",
      static_cast<int>(transponder_frequency(settings, result.if_frequency)),
      static_cast<int>(rounded_symbol_rate(result.symbol_rate)),
      result.is_dvb_s2 != 0 ? "DVB-S2" : "DVB-S",
      inversion_name(result.inversion), pilot_name(result.pilot),
      fec_name(result.fec), result.is_8psk != 0 ? "8PSK" : "QPSK",
      rolloff_name(result.rolloff));
  return line;
}

}  // namespace blindscan
