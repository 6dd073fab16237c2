// An in-memory outside world for tests: files by path, a log of every call,
// and a hook that runs at each pause so a test can move the driver on.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "scan/system_interface.h"

namespace blindscan {

class fake_system : public system_interface {
 public:
  std::map<std::string, std::string> files;  // a missing path cannot be opened
  std::set<std::string> failing_reads;       // opens, but every read fails
  std::vector<std::string> calls;            // "open_read PATH", "pause", ...
  std::vector<std::string> printed;
  std::function<void()> on_pause;
  int pauses = 0;

  int open_for_reading(const char* path) override {
    return open(path, "open_read ");
  }
  int open_for_writing(const char* path) override {
    return open(path, "open_write ");
  }
  long read(int fd, char* buffer, size_t size) override {
    const std::string& path = open_files_.at(fd);
    calls.push_back("read " + path);
    if (failing_reads.contains(path)) return -1;
    const std::string& content = files.at(path);
    const size_t count = std::min(size, content.size());
    std::copy_n(content.data(), count, buffer);
    return static_cast<long>(count);
  }
  void write(int fd, const char* bytes, size_t size) override {
    const std::string& path = open_files_.at(fd);
    calls.push_back("write " + path + " " + std::to_string(size));
    std::string& content = files.at(path);
    if (content.size() < size) content.resize(size);
    content.replace(0, size, bytes, size);
  }
  void close(int fd) override {
    calls.push_back("close " + open_files_.at(fd));
    open_files_.erase(fd);
  }
  void pause_one_second() override {
    calls.push_back("pause");
    ++pauses;
    if (on_pause) on_pause();
  }
  void print(const char* line) override {
    calls.push_back("print");
    printed.emplace_back(line);
  }

  size_t open_descriptors() const { return open_files_.size(); }

 private:
  int open(const char* path, const char* call) {
    calls.push_back(call + std::string(path));
    if (!files.contains(path)) return -1;
    open_files_[next_fd_] = path;
    return next_fd_++;
  }

  std::map<int, std::string> open_files_;
  int next_fd_ = 3;
};

}  // namespace blindscan
