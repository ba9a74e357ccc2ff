// The text form of the 80-bit reals of the records (coefficients, values).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace textbase {

// The shortest decimal text that reads back to the same 80 bits, or nothing
// for the rare encodings no text reproduces (NaN payloads, unnormals).
std::optional<std::string> format_real(long double x);

// Reads a decimal (or hexadecimal) text exactly as strtold does, rounding to
// nearest.  The whole text must be the number: no blanks around it.  On
// failure `why` says what is wrong.
std::optional<long double> parse_real(std::string_view text, std::string &why);

// Whether two reals hold the same 80 bits (so -0 differs from 0 and NaNs
// compare by their payloads).
bool same_bits(long double a, long double b);

}  // namespace textbase
