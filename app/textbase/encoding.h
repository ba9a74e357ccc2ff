// Texts cross between the text form (UTF-8) and the records (Windows-1251).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace textbase {

// A text that has no form in the other encoding; the message names the
// first character at fault.
class EncodingError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Every character must have a Windows-1251 byte, and none may be U+0000,
// which would end the text inside its record.
std::string utf8_to_cp1251(std::string_view utf8);

// Windows-1251 leaves the byte 0x98 undefined: such a text cannot be written.
std::string cp1251_to_utf8(std::string_view cp1251);

// Case folding of the base's identity rules: only the Cyrillic capitals
// А..Я (0xC0..0xDF) are lowered.
std::string fold_case(std::string_view cp1251);

}  // namespace textbase
