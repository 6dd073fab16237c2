// The polling loop.
#include "scan/poll_scan.h"

#include <cstdint>

#include "report/report_line.h"

namespace blindscan {

namespace {

using driver_text = char[kReadSize + 1];

void read_text(system_interface& system, int fd, driver_text& text) {
  const long count = system.read(fd, text, kReadSize);
  text[count > 0 && count <= static_cast<long>(kReadSize) ? count : 0] = '\0';
}

// Prints the result now in the result file; false if there is none to print.
bool report_result(const scan_settings& settings, const frontend_paths& paths,
                   system_interface& system) {
  const int fd = system.open_for_reading(paths.result_path);
  if (fd < 0) return false;
  driver_text text;
  read_text(system, fd, text);
  bs_result result;
  const bool complete = parse_bs_result(text, result) == kResultFields;
  if (complete) system.print(format_report_line(settings, result).text);
  system.close(fd);
  return complete;
}

}  // namespace

int poll_scan(const scan_settings& settings, const frontend_paths& paths,
              system_interface& system) {
  bs_status status;
  int32_t last_counter = 0;
  while (status.busy != 0) {
    const int fd = system.open_for_reading(paths.control_path);
    if (fd < 0) return 0;
    driver_text text;
    read_text(system, fd, text);
    system.close(fd);
    parse_bs_status(text, status);
    if (status.result_counter != last_counter &&
        report_result(settings, paths, system)) {
      last_counter = status.result_counter;
    }
    system.pause_one_second();
  }
  return 0;
}

}  // namespace blindscan
