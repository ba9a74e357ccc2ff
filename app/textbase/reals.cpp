#include "reals.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace textbase {

// An x87 extended real is 10 significant bytes; the rest of a long double is padding.
constexpr size_t kRealBytes = 10;

bool same_bits(long double a, long double b) {
    return std::memcmp(&a, &b, kRealBytes) == 0;
}

std::optional<std::string> format_real(long double x) {
    // 21 significant digits always determine a 64-bit significand, so the
    // loop ends for every finite value and for infinities.
    char text[64];
    for (int digits = 1; digits <= 21; ++digits) {
        std::snprintf(text, sizeof text, "%.*Lg", digits, x);
        std::string why;
        const auto back = parse_real(text, why);
        if (back && same_bits(*back, x)) return std::string(text);
    }
    return std::nullopt;
}

std::optional<long double> parse_real(std::string_view text, std::string &why) {
    const std::string copy(text);
    if (copy.empty()) {
        why = "an empty text is not a number";
        return std::nullopt;
    }
    if (std::isspace(static_cast<unsigned char>(copy.front())) ||
        std::isspace(static_cast<unsigned char>(copy.back()))) {
        why = "\"" + copy + "\" has blanks around the number";
        return std::nullopt;
    }
    char *end = nullptr;
    errno = 0;
    const long double value = std::strtold(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size()) {
        why = "\"" + copy + "\" is not a number";
        return std::nullopt;
    }
    // Underflow to a subnormal also sets ERANGE but the value is still the
    // nearest one; only a finite text that overflowed is refused.
    if (errno == ERANGE && std::isinf(value)) {
        why = "\"" + copy + "\" is beyond the range of the 80-bit real";
        return std::nullopt;
    }
    return value;
}

}  // namespace textbase
