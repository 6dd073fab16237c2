// Command-line parsing.
#include "scan/scan_settings.h"

#include "driver/decimal.h"

namespace blindscan {

namespace {

// The field an argument position fills; null for the ignored positions.
int32_t* field_at(scan_settings& settings, int position) {
  switch (position) {
    case 1:
    case 2:
    case 3:
    case 4:
      return &settings.scan_bounds[position - 1];
    case 5:
      return &settings.vertical;
    case 6:
      return &settings.high_band;
    case 7:
      return &settings.frontend_index;
    case 9:
      return &settings.c_band;
    default:
      return nullptr;
  }
}

}  // namespace

std::optional<scan_settings> parse_scan_settings(int argc,
                                                 const char* const* argv) {
  if (argc < 2) return std::nullopt;
  scan_settings settings;
  for (int position = 1; position < argc; ++position) {
    int32_t* field = field_at(settings, position);
    if (field == nullptr) continue;
    const char* cursor = argv[position];
    if (!read_decimal(cursor, *field)) return std::nullopt;
  }
  if (settings.frontend_index < 0) return std::nullopt;
  for (const int32_t bound : settings.scan_bounds) {
    if (bound == 0) return std::nullopt;
  }
  return settings;
}

}  // namespace blindscan
