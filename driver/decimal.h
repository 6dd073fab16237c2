// Reading signed 32-bit decimal numbers from text, as a "%d" conversion does,
// but refusing numbers that do not fit instead of leaving them undefined.
#pragma once

#include <cstdint>

namespace blindscan {

// Reads one number at `cursor`: optional white space, an optional sign, then
// one or more decimal digits, stopping at the first non-digit. On success
// stores it in `value`, moves `cursor` past the digits and returns true. A
// missing number or one outside the int32 range returns false and leaves both
// `cursor` and `value` untouched.
// REQUIRES: `cursor` points into a NUL-terminated text.
bool read_decimal(const char*& cursor, int32_t& value);

// `a` times `b` modulo 2^32, read as signed; computed without signed overflow.
int32_t wrapping_multiply(int32_t a, int32_t b);
int32_t wrapping_add(int32_t a, int32_t b);
int32_t wrapping_subtract(int32_t a, int32_t b);

}  // namespace blindscan
