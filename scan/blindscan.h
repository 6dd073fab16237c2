// A whole run of the tool, from the command line to the exit status.
#pragma once

#include "driver/bs_files.h"
#include "scan/scan_settings.h"
#include "scan/system_interface.h"

namespace blindscan {

// Writes the scan request to the control file in one write of exactly
// kRequestSize bytes. Does nothing when the file cannot be opened for writing.
void start_scan(const scan_settings& settings, const frontend_paths& paths,
                system_interface& system);

// Parses the command line, starts the scan on the frontend under `root`,
// pauses one second and follows the scan. Returns -1 for a refused command
// line (having touched nothing), else poll_scan's status.
int run_blindscan(int argc, const char* const* argv, system_interface& system,
                  const char* root = kFrontendRoot);

}  // namespace blindscan
