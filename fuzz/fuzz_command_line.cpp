// Fuzzes command-line parsing with whole argument vectors: the input's
// NUL-separated pieces are the arguments. Checks every accepted or refused
// command line against an independent strtoll-based reading.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "scan/scan_settings.h"

namespace {

// What a "%d" conversion that refuses out-of-range numbers makes of `text`.
bool reference_number(const std::string& text, int32_t& value) {
  errno = 0;
  char* end = nullptr;
  const long long number = std::strtoll(text.c_str(), &end, 10);
  if (end == text.c_str() || errno == ERANGE || number < INT32_MIN ||
      number > INT32_MAX) {
    return false;
  }
  value = static_cast<int32_t>(number);
  return true;
}

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args = {"blindscan"};
  std::string current;
  for (size_t i = 0; i < size && args.size() < 16; ++i) {
    if (data[i] == 0) {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (size > 0 && args.size() < 16) args.push_back(current);
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  const int argc = static_cast<int>(argv.size());
  const auto settings = blindscan::parse_scan_settings(argc, argv.data());

  // The reference: positions 1-7 and 9 must convert; 8 and 10+ never matter.
  bool convertible = true;
  int32_t values[10] = {0, 0, 0, 0, 0, 0, 0, -1, 0, 0};
  for (int p = 1; p < argc; ++p) {
    if (p == 8 || p > 9) continue;
    if (!reference_number(args[static_cast<size_t>(p)], values[p])) {
      convertible = false;
    }
  }
  const bool accept = argc >= 8 && convertible && values[7] >= 0 &&
                      values[1] != 0 && values[2] != 0 && values[3] != 0 &&
                      values[4] != 0;
  check(settings.has_value() == accept);
  if (!settings) return 0;
  for (int i = 0; i < 4; ++i) check(settings->scan_bounds[i] == values[i + 1]);
  check(settings->vertical == values[5]);
  check(settings->high_band == values[6]);
  check(settings->frontend_index == values[7]);
  check(settings->c_band == (argc > 9 ? values[9] : 0));
  return 0;
}
