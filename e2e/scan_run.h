// Running the real blindscan binary against the simulated driver and
// collecting what it did: its lines with their arrival times, its stderr,
// its exit status, and the driver's access log.
#pragma once

#include <string>
#include <vector>

namespace blindscan_e2e {

struct timed_line {
  double time;  // CLOCK_MONOTONIC seconds when the line could be read
  std::string text;
};

struct log_entry {
  double time;  // CLOCK_MONOTONIC seconds, as the simulator logged it
  std::string event;
};

struct scan_run {
  int status = -1;
  double started = 0, ended = 0;
  std::vector<timed_line> lines;
  std::string err;
  std::vector<log_entry> log;

  std::vector<std::string> texts() const;
  // Log entries whose event starts with `prefix`.
  std::vector<log_entry> events(const std::string& prefix) const;
};

// Runs blindscan with `args` (wrapped by `wrapper`, e.g. {"timeout", "4"})
// under blindscan-sim serving `scenario`, or what `sim_options` (such as
// --replay FILE) say instead of a scenario. BLINDSCAN_TOOL (the command that
// runs the tool, e.g. "qemu-mipsel build/mipsel/blindscan") and
// BLINDSCAN_SIM override the binaries of this build.
scan_run run_scan(const std::string& scenario,
                  const std::vector<std::string>& args,
                  const std::vector<std::string>& wrapper = {},
                  const std::vector<std::string>& sim_options = {});

// Empty when the simulator can run commands here, else why not.
std::string simulator_unavailable();

double monotonic_now();

}  // namespace blindscan_e2e
