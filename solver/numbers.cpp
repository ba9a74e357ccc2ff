#include "numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace solver {

int sign(long double x) {
    const double rounded = static_cast<double>(x);
    if (rounded == 0) return 0;
    return rounded < 0 ? -1 : 1;
}

int64_t ext_integer(long double x) {
    const long double nudged = x + sign(x) * 1e-8L;
    // Out of range the result is unspecified; saturate rather than overflow.
    if (std::isnan(nudged)) return 0;
    if (nudged >= 0x1p63L) return std::numeric_limits<int64_t>::max();
    if (nudged <= -0x1p63L) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(std::trunc(nudged));
}

bool is_integer(long double x) {
    return x == static_cast<long double>(ext_integer(x));
}

namespace {

constexpr int kFractionDigits = 14;  // after the one leading digit: 15 significant
constexpr int kPlainExponent = 15;   // beyond this the scientific layout is kept

// X rounded to 15 significant digits: the digits and the decimal exponent.
struct Scientific {
    bool negative;
    std::string digits;  // 15 digits, the first before the point
    int exponent;
};

Scientific scientific(long double x) {
    char buffer[64];
    // to_chars ignores the locale, which a host program may have changed.
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, kFractionDigits).ptr;
    const std::string_view text(buffer, end - buffer);  // [-]d.ddddddddddddddde[+-]xx
    Scientific s;
    s.negative = text.front() == '-';
    const size_t first = s.negative ? 1 : 0;
    const size_t e = text.find('e');
    s.digits = std::string(1, text[first]) + std::string(text.substr(first + 2, e - first - 2));
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), end, s.exponent);
    if (x == 0) s.negative = false;  // a negative zero reads as 0
    return s;
}

// The fixed 23-character layout: sign or blank, d.dddddddddddddd, E, sign, four digits.
std::string scientific_layout(const Scientific &s) {
    std::string text(s.negative ? "-" : " ");
    text += s.digits[0];
    text += '.';
    text += s.digits.substr(1);
    text += 'E';
    text += s.exponent < 0 ? '-' : '+';
    const std::string exponent = std::to_string(std::abs(s.exponent));
    text += std::string(4 - std::min<size_t>(4, exponent.size()), '0') + exponent;
    return text;
}

// Plain notation of the rounded digits, with just the decimals they need.
std::string plain_layout(const Scientific &s) {
    std::string significant = s.digits;
    while (significant.size() > 1 && significant.back() == '0') significant.pop_back();
    const int m = static_cast<int>(significant.size()) - 1;
    const int e = s.exponent;
    std::string text(s.negative ? "-" : "");
    if (e >= m) {
        text += significant + std::string(e - m, '0');
    } else if (e >= 0) {
        text += significant.substr(0, e + 1) + "." + significant.substr(e + 1);
    } else {
        text += "0." + std::string(-e - 1, '0') + significant;
    }
    return text;
}

bool is_exponent_letter(char c) {
    return c == 'E' || c == 'e' || c == '\xC5' || c == '\xE5';
}

// Rewrites the forgiving forms into a plain decimal number text.
std::string normalized(std::string_view text) {
    std::string s(text);
    if (const size_t comma = s.find(','); comma != std::string::npos) s[comma] = '.';
    for (const char letter : {'e', '\xC5', '\xE5'}) {
        if (const size_t at = s.find(letter); at != std::string::npos) {
            s[at] = 'E';
            break;
        }
    }
    const size_t n = s.size();
    if (is_exponent_letter(s[n - 1])) {
        s[n - 1] = 'E';
        s += "+0000";
    } else if (n >= 2 && (s[n - 1] == '+' || s[n - 1] == '-') && is_exponent_letter(s[n - 2])) {
        s[n - 2] = 'E';
        s += "00";
    }
    return s;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Reads [blanks][sign]digits[.digits][E[sign]digits] and nothing more.
// `magnitude` estimates the decimal exponent of the leading digit, to tell an
// overflow from an underflow.
bool read_decimal(std::string_view s, long double &value) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    const size_t start = i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    const size_t number = i;
    long magnitude = 0;
    bool seen_digit = false, seen_nonzero = false;
    for (; i < s.size() && is_digit(s[i]); ++i) {
        seen_digit = true;
        if (s[i] != '0') seen_nonzero = true;
        if (seen_nonzero) ++magnitude;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && is_digit(s[i]); ++i) {
            seen_digit = true;
            if (!seen_nonzero && s[i] == '0') --magnitude;
            if (s[i] != '0') seen_nonzero = true;
        }
    }
    if (!seen_digit) return false;
    long exponent = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        if (i == s.size() || !is_digit(s[i])) return false;
        for (; i < s.size() && is_digit(s[i]); ++i)
            exponent = std::min(exponent * 10 + (s[i] - '0'), 100000L);
        if (negative) exponent = -exponent;
    }
    if (i != s.size()) return false;
    // from_chars takes no "+" of its own.
    const size_t skip = s[start] == '+' ? number : start;
    const auto [end, error] = std::from_chars(s.data() + skip, s.data() + s.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (magnitude + exponent > 0) return false;  // beyond the largest extended value
        value = 0;
    } else if (error != std::errc() || end != s.data() + s.size()) {
        return false;
    }
    return true;
}

}  // namespace

std::string format_value(long double x) {
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
    const Scientific s = scientific(x);
    if (s.exponent < -kPlainExponent || s.exponent > kPlainExponent) return scientific_layout(s);
    return plain_layout(s);
}

long double parse_value(std::string_view text, bool &failed) {
    failed = false;
    if (text.empty()) return 0;
    long double value = 0;
    if (!read_decimal(normalized(text), value)) {
        failed = true;
        return 0;
    }
    return value;
}

long double parse_value(std::string_view text, bool *failed) {
    bool local = false;
    const long double value = parse_value(text, local);
    if (failed) *failed = local;
    return value;
}

std::string lower_cyrillic(std::string_view text) {
    std::string lowered(text);
    for (char &c : lowered) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0xC0 && byte <= 0xDF) c = static_cast<char>(byte + 0x20);
    }
    return lowered;
}

}  // namespace solver
