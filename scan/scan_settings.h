// The parsed command line of one blind scan, and its parsing.
#pragma once

#include <cstdint>
#include <optional>

namespace blindscan {

struct scan_settings {
  int32_t scan_bounds[4] = {0, 0, 0, 0};  // MHz; each must be non-zero
  int32_t vertical = 0;                   // labels every result
  int32_t high_band = 0;                  // Ku high-band local oscillator
  int32_t frontend_index = -1;            // must be 0 or more
  int32_t c_band = 0;                     // C-band local oscillator
};

// Reads the positional arguments argv[1..argc-1] into settings. Empty for a
// refused command line: no argument, a frontend index below 0 (or none), a
// bound of 0 (or none), or an argument at a used position (1 to 7 and 9)
// that is empty, does not begin with a number, or does not fit in int32.
// Arguments at positions 8 and 10 onwards are never looked at.
std::optional<scan_settings> parse_scan_settings(int argc,
                                                 const char* const* argv);

}  // namespace blindscan
