// blindscan-sim: a simulated tuner driver serving the blind-scan files of a
// scenario, and a way to run a command that sees it at /proc/stb.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/driver_model.h"
#include "sim/fuse_driver.h"
#include "sim/private_proc.h"
#include "sim/scenario.h"

namespace blindscan_sim {
namespace {

constexpr int kUsageError = 2;
constexpr int kSetupError = 125;

const char kUsage[] =
    "usage: blindscan-sim [OPTIONS] SCENARIO -- COMMAND [ARGS...]\n"
    "       blindscan-sim [OPTIONS] SCENARIO --mount DIR\n"
    "       blindscan-sim [OPTIONS] --replay CAPTURE ...\n"
    "Serves the scenario's frontends as frontend/N/bs_ctrl and bs_info: at\n"
    "/proc/stb for COMMAND, run in a private mount namespace, or at DIR\n"
    "until interrupted. Exits with COMMAND's status.\n"
    "  --log FILE      log every access the driver sees, with timestamps\n"
    "  --mount DIR     serve at DIR instead of running a command\n"
    "  --replay FILE   serve the transponders of a captured report (its \"OK\"\n"
    "                  lines), one per poll, instead of a scenario\n"
    "  --lnb KIND      for --replay: ku-low (default), ku-high or c-band, as\n"
    "                  the capture was made with\n"
    "  --frontend N    for --replay: the frontend to serve (default 0)\n"
    "  --pace MS       for --replay: a transponder every MS milliseconds\n";

struct options {
  std::string scenario_path;
  std::string replay_path;
  std::string log_path;
  std::string mount_dir;
  std::string lnb = "ku-low";
  int32_t frontend = 0;
  int32_t pace_ms = 0;
  std::vector<char*> command;
};

bool read_whole(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

std::optional<options> parse_options(int argc, char** argv) {
  options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--") {
      o.command.assign(argv + i + 1, argv + argc);
      break;
    }
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    }
    if ((arg == "--log" || arg == "--mount" || arg == "--replay" ||
         arg == "--lnb" || arg == "--frontend" || arg == "--pace") &&
        !has_value) {
      std::fprintf(stderr, "blindscan-sim: %s needs a value\n", arg.c_str());
      return std::nullopt;
    }
    if (arg == "--log") o.log_path = argv[++i];
    else if (arg == "--mount") o.mount_dir = argv[++i];
    else if (arg == "--replay") o.replay_path = argv[++i];
    else if (arg == "--lnb") o.lnb = argv[++i];
    else if (arg == "--frontend" || arg == "--pace") {
      int32_t& target = arg == "--frontend" ? o.frontend : o.pace_ms;
      if (!parse_count(argv[++i], target)) {
        std::fprintf(stderr, "blindscan-sim: %s needs a number >= 0\n",
                     arg.c_str());
        return std::nullopt;
      }
    } else if (arg.rfind('-', 0) == 0) {
      std::fprintf(stderr, "blindscan-sim: unknown option %s\n%s", arg.c_str(),
                   kUsage);
      return std::nullopt;
    } else if (o.scenario_path.empty()) {
      o.scenario_path = arg;
    } else {
      std::fprintf(stderr, "blindscan-sim: one scenario only (%s)\n%s",
                   arg.c_str(), kUsage);
      return std::nullopt;
    }
  }
  const bool one_source = o.scenario_path.empty() != o.replay_path.empty();
  const bool one_use = o.mount_dir.empty() != o.command.empty();
  if (!one_source || !one_use) {
    std::fputs(kUsage, stderr);
    return std::nullopt;
  }
  return o;
}

std::optional<scenario> load(const options& o) {
  const std::string& path =
      o.replay_path.empty() ? o.scenario_path : o.replay_path;
  std::string text;
  if (!read_whole(path, text)) {
    std::fprintf(stderr, "blindscan-sim: cannot read %s: %s\n", path.c_str(),
                 std::strerror(errno));
    return std::nullopt;
  }
  scenario_error error;
  std::optional<scenario> result;
  if (o.replay_path.empty()) {
    result = parse_scenario(text, error);
  } else {
    lnb_kind lnb = lnb_kind::ku_low;
    if (!parse_lnb(o.lnb, lnb)) {
      std::fprintf(stderr, "blindscan-sim: --lnb takes ku-low, ku-high or "
                           "c-band\n");
      return std::nullopt;
    }
    result = replay_scenario(text, lnb, o.frontend, o.pace_ms, error);
  }
  if (!result) {
    std::fprintf(stderr, "blindscan-sim: %s:%d: %s\n", path.c_str(),
                 error.line, error.message.c_str());
  }
  return result;
}

int64_t monotonic_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int serve_at(driver_model& model, const std::string& dir) {
  std::string problem;
  fuse* filesystem = mount_driver(model, dir, problem);
  if (filesystem == nullptr) {
    std::fprintf(stderr, "blindscan-sim: %s\n", problem.c_str());
    return kSetupError;
  }
  // SIGINT and SIGTERM end the loop; the thread below unmounts then.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  std::thread server(serve_driver, filesystem);
  int signal_number = 0;
  sigwait(&stop, &signal_number);
  unmount_driver(filesystem);
  server.join();
  destroy_driver(filesystem);
  return 0;
}

int run_command(driver_model& model, std::vector<char*> command) {
  private_proc proc;
  std::string problem;
  if (!enter_private_proc(proc, problem)) {
    std::fprintf(stderr, "blindscan-sim: %s\n", problem.c_str());
    return kSetupError;
  }
  fuse* filesystem = mount_driver(model, "/proc/stb", problem);
  if (filesystem == nullptr) {
    std::fprintf(stderr, "blindscan-sim: %s\n", problem.c_str());
    leave_private_proc(proc);
    return kSetupError;
  }
  std::thread server(serve_driver, filesystem);
  // The command gets the terminal's signals; this process outlives it.
  signal(SIGINT, SIG_IGN);
  signal(SIGQUIT, SIG_IGN);
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGINT, SIG_DFL);
    signal(SIGQUIT, SIG_DFL);
    link_own_proc_entry(proc);
    command.push_back(nullptr);
    execvp(command[0], command.data());
    std::fprintf(stderr, "blindscan-sim: cannot run %s: %s\n", command[0],
                 std::strerror(errno));
    _exit(127);
  }
  int status = 0;
  if (child < 0) {
    std::fprintf(stderr, "blindscan-sim: fork: %s\n", std::strerror(errno));
    status = kSetupError << 8;
  } else {
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  unmount_driver(filesystem);
  server.join();
  destroy_driver(filesystem);
  leave_private_proc(proc);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

}  // namespace
}  // namespace blindscan_sim

int main(int argc, char** argv) {
  using namespace blindscan_sim;
  const auto o = parse_options(argc, argv);
  if (!o) return kUsageError;
  auto loaded = load(*o);
  if (!loaded) return kUsageError;
  std::FILE* log_file = nullptr;
  if (!o->log_path.empty()) {
    log_file = std::fopen(o->log_path.c_str(), "w");
    if (log_file == nullptr) {
      std::fprintf(stderr, "blindscan-sim: cannot write %s: %s\n",
                   o->log_path.c_str(), std::strerror(errno));
      return kUsageError;
    }
  }
  access_log log(log_file);
  driver_model model(std::move(*loaded), log, monotonic_ms);
  const int status = o->mount_dir.empty() ? run_command(model, o->command)
                                          : serve_at(model, o->mount_dir);
  if (log_file != nullptr) std::fclose(log_file);
  return status;
}
