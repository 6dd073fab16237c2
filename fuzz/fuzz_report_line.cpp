// Fuzzes result parsing followed by the report line, with fuzzed LNB
// settings in the first twelve bytes. Every line must keep its shape.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver/bs_files.h"
#include "report/report_line.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

int32_t take(const uint8_t* data) {
  uint32_t value = 0;
  std::memcpy(&value, data, sizeof value);
  return static_cast<int32_t>(value);
}

bool is_number(const std::string& field) {
  size_t start = field.size() > 1 && field[0] == '-' ? 1 : 0;
  if (start == field.size()) return false;
  for (size_t i = start; i < field.size(); ++i) {
    if (field[i] < '0' || field[i] > '9') return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12 || size > 12 + blindscan::kReadSize) return 0;
  blindscan::scan_settings settings;
  settings.vertical = take(data);
  settings.high_band = take(data + 4);
  settings.c_band = take(data + 8);
  settings.frontend_index = 0;
  const std::string text(reinterpret_cast<const char*>(data + 12), size - 12);
  blindscan::bs_result result;
  if (blindscan::parse_bs_result(text.c_str(), result) != 9) return 0;

  const std::string line = blindscan::format_report_line(settings, result).text;
  check(line.size() <= blindscan::kMaxReportLineLength);
  check(line.rfind("OK ", 0) == 0);
  check(line.size() >= 2 && line.compare(line.size() - 2, 2, " \n") == 0);
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    check(line[i] >= ' ' && line[i] <= '~');
  }
  std::vector<std::string> fields;
  std::string field;
  for (const char c : line.substr(0, line.size() - 2)) {
    if (c == ' ') {
      fields.push_back(field);
      field.clear();
    } else {
      field += c;
    }
  }
  fields.push_back(field);
  check(fields.size() == 10);
  check(fields[1] == (settings.vertical != 0 ? "VERTICAL" : "HORIZONTAL"));
  check(is_number(fields[2]) && is_number(fields[3]));
  check(fields[4] == (result.is_dvb_s2 != 0 ? "DVB-S2" : "DVB-S"));
  check(fields[8] == (result.is_8psk != 0 ? "8PSK" : "QPSK"));
  check(fields[7] == blindscan::fec_name(result.fec));
  check(fields[9] == blindscan::rolloff_name(result.rolloff));
  return 0;
}
