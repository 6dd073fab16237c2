// POSIX implementation of the tool's outside world.
#include "scan/posix_system.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "report/report_line.h"

namespace blindscan {

posix_system::posix_system() {
  // stdio's own buffer for stdout would come from the heap.
  // Room for the longest line, so that each line leaves in one write.
  static char stdout_buffer[128];
  static_assert(sizeof stdout_buffer > kMaxReportLineLength);
  (void)std::setvbuf(stdout, stdout_buffer, _IOFBF, sizeof stdout_buffer);
}

int posix_system::open_for_reading(const char* path) {
  return ::open(path, O_RDONLY);
}

int posix_system::open_for_writing(const char* path) {
  return ::open(path, O_WRONLY);
}

long posix_system::read(int fd, char* buffer, size_t size) {
  return static_cast<long>(::read(fd, buffer, size));
}

void posix_system::write(int fd, const char* bytes, size_t size) {
  [[maybe_unused]] const ssize_t written = ::write(fd, bytes, size);
}

void posix_system::close(int fd) { ::close(fd); }

void posix_system::pause_one_second() {
  timespec remaining{1, 0};
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

void posix_system::print(const char* line) {
  (void)std::fputs(line, stdout);
  (void)std::fflush(stdout);
}

}  // namespace blindscan
