// The real outside world: POSIX file calls, nanosleep and stdio.
#pragma once

#include "scan/system_interface.h"

namespace blindscan {

class posix_system : public system_interface {
 public:
  // Gives stdout a fixed buffer, so that printing never allocates.
  posix_system();
  posix_system(const posix_system&) = delete;
  posix_system& operator=(const posix_system&) = delete;
  virtual ~posix_system() = default;

  int open_for_reading(const char* path) override;
  int open_for_writing(const char* path) override;
  long read(int fd, char* buffer, size_t size) override;
  void write(int fd, const char* bytes, size_t size) override;
  void close(int fd) override;
  // Sleeps the full second even when a handled signal interrupts it.
  void pause_one_second() override;
  void print(const char* line) override;
};

}  // namespace blindscan
