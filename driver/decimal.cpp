// Decimal number reading and 32-bit wrapping arithmetic.
#include "driver/decimal.h"

namespace blindscan {

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool read_decimal(const char*& cursor, int32_t& value) {
  const char* p = cursor;
  while (is_space(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (!is_digit(*p)) return false;
  // The magnitude may reach 2^31 for a negative number.
  const uint32_t limit = negative ? 0x80000000u : 0x7fffffffu;
  uint32_t magnitude = 0;
  for (; is_digit(*p); ++p) {
    const auto digit = static_cast<uint32_t>(*p - '0');
    if (magnitude > (limit - digit) / 10u) return false;
    magnitude = magnitude * 10u + digit;
  }
  value = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
  cursor = p;
  return true;
}

int32_t wrapping_multiply(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) *
                              static_cast<uint32_t>(b));
}

int32_t wrapping_add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) +
                              static_cast<uint32_t>(b));
}

int32_t wrapping_subtract(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) -
                              static_cast<uint32_t>(b));
}

}  // namespace blindscan
