// Fuzzes status parsing: the fields assigned must be exactly the leading
// well-formed numbers of the text (up to its first NUL), the others untouched.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "driver/bs_files.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > blindscan::kReadSize) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const blindscan::bs_status before{-7, -8, -9};
  blindscan::bs_status status = before;
  const int assigned = blindscan::parse_bs_status(text.c_str(), status);
  check(assigned >= 0 && assigned <= 3);

  const int32_t parsed[3] = {status.busy, status.result_counter, status.unused};
  const int32_t old[3] = {before.busy, before.result_counter, before.unused};
  const char* cursor = text.c_str();
  for (int i = 0; i < 3; ++i) {
    errno = 0;
    char* end = nullptr;
    const long long number = std::strtoll(cursor, &end, 10);
    const bool ok = end != cursor && errno != ERANGE && number >= INT32_MIN &&
                    number <= INT32_MAX;
    if (i < assigned) {
      check(ok && parsed[i] == number);
      cursor = end;
    } else {
      check(parsed[i] == old[i]);
      if (i == assigned) check(!ok);
    }
  }
  return 0;
}
