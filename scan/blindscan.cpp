// Starting the scan and driving the run.
#include "scan/blindscan.h"

#include "scan/poll_scan.h"

namespace blindscan {

void start_scan(const scan_settings& settings, const frontend_paths& paths,
                system_interface& system) {
  const bs_request request =
      format_bs_request(settings.scan_bounds, settings.frontend_index);
  const int fd = system.open_for_writing(paths.control_path);
  if (fd < 0) return;
  system.write(fd, request.bytes, sizeof request.bytes);
  system.close(fd);
}

int run_blindscan(int argc, const char* const* argv, system_interface& system,
                  const char* root) {
  const auto settings = parse_scan_settings(argc, argv);
  if (!settings) return -1;
  const frontend_paths paths =
      make_frontend_paths(settings->frontend_index, root);
  start_scan(*settings, paths, system);
  system.pause_one_second();
  return poll_scan(*settings, paths, system);
}

}  // namespace blindscan
