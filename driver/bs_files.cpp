// Paths, formatting and parsing of the driver's blind-scan records.
#include "driver/bs_files.h"

#include <cstdio>

#include "driver/decimal.h"

namespace blindscan {

namespace {

void format_path(char (&path)[kPathSize], const char* root,
                 int32_t frontend_index, const char* name) {
  (void)std::snprintf(path, sizeof path, "%s/%d/%s", root,
                      static_cast<int>(frontend_index), name);
}

template <size_t N>
int parse_fields(const char* text, int32_t* const (&fields)[N]) {
  int assigned = 0;
  for (int32_t* field : fields) {
    if (!read_decimal(text, *field)) break;
    ++assigned;
  }
  return assigned;
}

}  // namespace

frontend_paths make_frontend_paths(int32_t frontend_index, const char* root) {
  frontend_paths paths{};
  format_path(paths.control_path, root, frontend_index, "bs_ctrl");
  format_path(paths.result_path, root, frontend_index, "bs_info");
  return paths;
}

bs_request format_bs_request(const int32_t (&scan_bounds)[4],
                             int32_t frontend_index) {
  constexpr int32_t kHzPerMHz = 1000000;
  bs_request request{};
  (void)std::snprintf(
      request.bytes, sizeof request.bytes, "%d %d %d %d %d",
      static_cast<int>(wrapping_multiply(scan_bounds[0], kHzPerMHz)),
      static_cast<int>(wrapping_multiply(scan_bounds[1], kHzPerMHz)),
      static_cast<int>(wrapping_multiply(scan_bounds[2], kHzPerMHz)),
      static_cast<int>(wrapping_multiply(scan_bounds[3], kHzPerMHz)),
      static_cast<int>(frontend_index));
  return request;
}

int parse_bs_status(const char* text, bs_status& status) {
  int32_t* const fields[] = {&status.busy, &status.result_counter,
                             &status.unused};
  return parse_fields(text, fields);
}

int parse_bs_result(const char* text, bs_result& result) {
  int32_t* const fields[] = {
      &result.unused,    &result.if_frequency, &result.symbol_rate,
      &result.is_dvb_s2, &result.inversion,    &result.pilot,
      &result.fec,       &result.is_8psk,      &result.rolloff};
  static_assert(sizeof fields / sizeof fields[0] == kResultFields);
  return parse_fields(text, fields);
}

}  // namespace blindscan
