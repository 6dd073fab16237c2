// The simulated tuner driver's state: the files it shows, what reads and
// writes of them return, and how a scenario moves the scan on. Knows nothing
// of FUSE, so tests drive it directly.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sim/scenario.h"

namespace blindscan_sim {

// Timestamped lines, one per access the driver saw; silent without a file.
class access_log {
 public:
  explicit access_log(std::FILE* file = nullptr) : file_(file) {}
  void write(const std::string& event);

 private:
  std::FILE* file_;
};

// A text made printable for the log: "..." with \n, \t, \0, \\, \" and \xHH.
std::string quoted(const std::string& bytes);
// O_RDONLY/O_WRONLY/O_RDWR and any of |O_CREAT|O_EXCL|O_TRUNC|O_APPEND.
std::string open_flags_text(int flags);

class driver_model {
 public:
  enum class node { none, directory, control, result };
  struct entry {
    node kind = node::none;
    int slot = -1;  // which frontend, for files and frontend directories
  };

  // `now_ms` is a monotonic clock in milliseconds.
  driver_model(scenario s, access_log& log, std::function<int64_t()> now_ms);

  // Paths are relative to the mount point: "/", "/frontend", "/frontend/0",
  // "/frontend/0/bs_ctrl", "/frontend/0/bs_info".
  entry find(const std::string& path) const;
  std::vector<std::string> list(const std::string& path) const;

  // Each returns 0 or a negative errno.
  int open(const std::string& path, int flags, uint64_t& handle);
  // A read at offset 0 takes the driver's current text (and, on bs_ctrl,
  // is a poll); later offsets continue that same text, as proc files do.
  int read(uint64_t handle, off_t offset, size_t size, std::string& out);
  int write(uint64_t handle, const char* bytes, size_t size, off_t offset,
            size_t& accepted);
  void release(uint64_t handle);
  // A refused attempt to create a file, or a truncation; logged.
  void note(const std::string& event) { log_.write(event); }

 private:
  struct frontend_state {
    const frontend_script* script = nullptr;
    std::string name;  // "frontend/N"
    bool started = false;
    int64_t start_ms = 0;
    size_t next_step = 0;
    int32_t busy = 0;
    int32_t counter = 0;
    int32_t polls = 0;
    std::string result_text;
    bool has_override = false;
    std::string control_override;
    int32_t failing[2] = {0, 0};  // control, result
    read_fault fault[2] = {read_fault::eio, read_fault::eio};
    int32_t hidden_polls = 0;
    bool visible[3] = {true, true, true};  // control, result, frontend
  };
  struct open_file {
    int slot;
    node kind;
    int flags;
    std::string snapshot;
  };

  void start(frontend_state& fe);
  void poll(frontend_state& fe);
  void apply(frontend_state& fe, const step& s);
  std::string read_now(frontend_state& fe, node kind, int& error);
  std::string file_name(const open_file& file) const;

  scenario scenario_;
  access_log& log_;
  std::function<int64_t()> now_ms_;
  std::vector<frontend_state> frontends_;
  std::map<uint64_t, open_file> open_files_;
  uint64_t next_handle_ = 1;
};

}  // namespace blindscan_sim
