// Numbers as the engine reads and writes them, and the integer tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace solver {

// -1, 0 or +1, taken from x rounded to double (so a tiny extended value that
// rounds to zero has sign 0).
int sign(long double x);

// x truncated toward zero after a nudge of sign(x)*1e-8 away from zero, so
// that 2.999999995 counts as 3.
int64_t ext_integer(long double x);

// True when x equals its ext_integer exactly.
bool is_integer(long double x);

// The text of a value: plain fixed-point for decimal exponents -15..15, the
// 23-character scientific layout (sign or blank first) otherwise.  Infinities
// and NaN give "INF", "-INF" and "NAN".
std::string format_value(long double x);

// The value of a number text, forgiving "," for "." and an unfinished
// exponent ("2e", "2e-").  Empty text gives 0.  Anything that is not a number
// sets `failed` (else clears it) and gives 0.
long double parse_value(std::string_view text, bool &failed);
long double parse_value(std::string_view text, bool *failed = nullptr);

// The text with the Cyrillic capitals (0xC0..0xDF) lowered; every other byte kept.
std::string lower_cyrillic(std::string_view text);

}  // namespace solver
