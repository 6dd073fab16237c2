// One line of standard output for one transponder found.
#pragma once

#include <cstddef>

#include "driver/bs_files.h"
#include "scan/scan_settings.h"

namespace blindscan {

// The longest line: every field at its longest, with the newline.
inline constexpr size_t kMaxReportLineLength = 99;

struct report_line {
  char text[kMaxReportLineLength + 1];  // NUL-terminated
};

// "OK %s %d %d %s %s %s %s %s %s \n": polarisation, frequency in kHz after the
// local oscillator (C-band, else Ku high, else Ku low), symbol rate rounded
// down to a multiple of 1,000, delivery system, inversion, pilot, FEC,
// modulation and roll-off. A code without a name gives an empty field.
report_line format_report_line(const scan_settings& settings,
                               const bs_result& result);

// The Linux DVB frontend API's enumerator name for a code; "" if it has none.
const char* inversion_name(int32_t code);
const char* pilot_name(int32_t code);
const char* fec_name(int32_t code);
const char* rolloff_name(int32_t code);

}  // namespace blindscan
