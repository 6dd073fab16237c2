// The tool's only contact with the outside world: the driver's files, the
// one-second pause and standard output. posix_system is the real one; tests
// pass their own.
#pragma once

#include <cstddef>

namespace blindscan {

class system_interface {
 public:
  // Both return a descriptor, or -1 when the file cannot be opened.
  virtual int open_for_reading(const char* path) = 0;
  // Write-only, never creating, truncating or appending.
  virtual int open_for_writing(const char* path) = 0;
  // One read of at most `size` bytes: the count read, 0 or -1 if none.
  virtual long read(int fd, char* buffer, size_t size) = 0;
  // One write; its outcome does not matter to the tool.
  virtual void write(int fd, const char* bytes, size_t size) = 0;
  virtual void close(int fd) = 0;
  virtual void pause_one_second() = 0;
  // Writes `line` on standard output in one write and flushes it.
  virtual void print(const char* line) = 0;

 protected:
  ~system_interface() = default;
};

}  // namespace blindscan
