// Process plumbing for the end-to-end tests.
#include "e2e/scan_run.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

namespace blindscan_e2e {

namespace {

// The environment overrides the binaries of this build.
std::string env(const char* name) {
  const char* value = std::getenv(name);
  if (value != nullptr && *value != '\0') return value;
  return std::string(name) == "BLINDSCAN_SIM" ? BLINDSCAN_BUILT_SIM
                                              : BLINDSCAN_BUILT_TOOL;
}

// A new empty file named /tmp/blindscan-e2e.XXXXXX`suffix`.
std::string temp_path(const std::string& suffix) {
  std::string pattern = "/tmp/blindscan-e2e.XXXXXX" + suffix;
  const int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
  if (fd >= 0) close(fd);
  return pattern;
}

struct process_output {
  int status = -1;
  std::vector<timed_line> lines;
  std::string err;
};

process_output run_process(const std::vector<std::string>& argv) {
  int out[2], err[2];
  process_output result;
  if (pipe(out) != 0 || pipe(err) != 0) return result;
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(out[0]);
    close(err[0]);
    close(out[1]);
    close(err[1]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  std::string pending;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open_fds = 2;
  while (open_fds > 0) {
    if (poll(fds, 2, -1) < 0) continue;
    for (pollfd& p : fds) {
      if (p.fd < 0 || p.revents == 0) continue;
      char buffer[4096];
      const ssize_t n = read(p.fd, buffer, sizeof buffer);
      if (n <= 0) {
        close(p.fd);
        p.fd = -1;
        --open_fds;
        continue;
      }
      if (&p == &fds[1]) {
        result.err.append(buffer, static_cast<size_t>(n));
        continue;
      }
      const double now = monotonic_now();
      pending.append(buffer, static_cast<size_t>(n));
      size_t end;
      while ((end = pending.find('\n')) != std::string::npos) {
        result.lines.push_back({now, pending.substr(0, end + 1)});
        pending.erase(0, end + 1);
      }
    }
  }
  if (!pending.empty()) result.lines.push_back({monotonic_now(), pending});
  int status = 0;
  waitpid(child, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

std::vector<log_entry> read_log(const std::string& path) {
  std::vector<log_entry> entries;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    entries.push_back({std::strtod(line.c_str(), nullptr), line.substr(space + 1)});
  }
  return entries;
}

}  // namespace

double monotonic_now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::vector<std::string> scan_run::texts() const {
  std::vector<std::string> result;
  for (const timed_line& line : lines) result.push_back(line.text);
  return result;
}

std::vector<log_entry> scan_run::events(const std::string& prefix) const {
  std::vector<log_entry> result;
  for (const log_entry& entry : log) {
    if (entry.event.rfind(prefix, 0) == 0) result.push_back(entry);
  }
  return result;
}

scan_run run_scan(const std::string& scenario,
                  const std::vector<std::string>& args,
                  const std::vector<std::string>& wrapper,
                  const std::vector<std::string>& sim_options) {
  const std::string scenario_path = temp_path(".scenario");
  const std::string log_path = temp_path(".log");
  std::ofstream(scenario_path) << scenario;
  std::vector<std::string> argv = {env("BLINDSCAN_SIM"), "--log", log_path};
  argv.insert(argv.end(), sim_options.begin(), sim_options.end());
  if (sim_options.empty()) argv.push_back(scenario_path);
  argv.push_back("--");
  argv.insert(argv.end(), wrapper.begin(), wrapper.end());
  std::istringstream tool(env("BLINDSCAN_TOOL"));
  for (std::string word; tool >> word;) argv.push_back(word);
  argv.insert(argv.end(), args.begin(), args.end());
  scan_run run;
  run.started = monotonic_now();
  process_output output = run_process(argv);
  run.ended = monotonic_now();
  run.status = output.status;
  run.lines = std::move(output.lines);
  run.err = std::move(output.err);
  run.log = read_log(log_path);
  std::remove(scenario_path.c_str());
  std::remove(log_path.c_str());
  return run;
}

std::string simulator_unavailable() {
  const std::string scenario_path = temp_path(".scenario");
  std::ofstream(scenario_path) << "done\n";
  const process_output probe =
      run_process({env("BLINDSCAN_SIM"), scenario_path, "--", "true"});
  std::remove(scenario_path.c_str());
  return probe.status == 0 ? "" : "blindscan-sim cannot run here: " + probe.err;
}

}  // namespace blindscan_e2e
