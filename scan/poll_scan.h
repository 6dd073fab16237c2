// Following a running scan: one poll of the driver a second until it is done.
#pragma once

#include "driver/bs_files.h"
#include "scan/scan_settings.h"
#include "scan/system_interface.h"

namespace blindscan {

// Polls the control file, printing a report line whenever the result counter
// differs from the last one printed, with a pause after every poll. Returns
// the exit status, always 0: after the pause that follows a poll reading busy
// as 0, or at once when the control file cannot be opened.
int poll_scan(const scan_settings& settings, const frontend_paths& paths,
              system_interface& system);

}  // namespace blindscan
