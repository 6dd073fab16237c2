// The tuner driver's blind-scan files of one frontend, and the three text
// records that pass through them: the request, the status and the result.
#pragma once

#include <cstddef>
#include <cstdint>

namespace blindscan {

inline constexpr const char kFrontendRoot[] = "/proc/stb/frontend";

// Every path of a frontend file fits in this many bytes with its NUL.
inline constexpr size_t kPathSize = 128;
// A request is always written as exactly this many bytes.
inline constexpr size_t kRequestSize = 256;
// Each read of a driver file takes at most this many bytes.
inline constexpr size_t kReadSize = 128;

struct frontend_paths {
  char control_path[kPathSize];  // ROOT/N/bs_ctrl
  char result_path[kPathSize];   // ROOT/N/bs_info
};

// REQUIRES: `root` leaves room for "/N/bs_ctrl" within kPathSize bytes
// (a longer one is cut); only tests pass another root.
frontend_paths make_frontend_paths(int32_t frontend_index,
                                   const char* root = kFrontendRoot);

struct bs_request {
  // "%d %d %d %d %d", its NUL, then zeros up to kRequestSize.
  char bytes[kRequestSize];
};

// Each bound is multiplied by 1,000,000 modulo 2^32 and printed signed.
bs_request format_bs_request(const int32_t (&scan_bounds)[4],
                             int32_t frontend_index);

struct bs_status {
  int32_t busy = 1;  // non-zero while the scan runs
  int32_t result_counter = 0;
  int32_t unused = 0;
};

struct bs_result {
  int32_t unused = 0;
  int32_t if_frequency = 0;  // kHz at the tuner input
  int32_t symbol_rate = 0;
  int32_t is_dvb_s2 = 0;
  int32_t inversion = 0;
  int32_t pilot = 0;
  int32_t fec = 0;
  int32_t is_8psk = 0;
  int32_t rolloff = 0;
};
inline constexpr int kResultFields = 9;

// Both parsers assign the numbers of `text` to the fields in order, stopping
// at the first number that is missing, malformed or out of the int32 range;
// fields from there on keep their values. They return how many fields were
// assigned. The text ends at its first NUL.
int parse_bs_status(const char* text, bs_status& status);
int parse_bs_result(const char* text, bs_result& result);

}  // namespace blindscan
