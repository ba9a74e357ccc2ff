#include "encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace textbase {
namespace {

// One iconv descriptor per direction, opened on first use and kept.
class Converter {
  public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw EncodingError(std::string("iconv cannot convert from ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    // Converts the whole input or returns the offset of the first byte
    // that iconv refused.
    bool convert(std::string_view in, std::string &out, size_t &failed_at) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.assign(in.size() * 3 + 4, '\0');
        char *src = const_cast<char *>(in.data());
        size_t src_left = in.size();
        char *dst = out.data();
        size_t dst_left = out.size();
        if (iconv(cd_, &src, &src_left, &dst, &dst_left) == static_cast<size_t>(-1)) {
            failed_at = in.size() - src_left;
            return false;
        }
        out.resize(out.size() - dst_left);
        return true;
    }

  private:
    iconv_t cd_;
};

// Decodes the UTF-8 sequence at `at` for a message; 0 for a malformed one.
char32_t code_point_at(std::string_view s, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(i < s.size() ? s[i] : 0); };
    const unsigned char lead = byte(at);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
    if (extra < 0) return 0;
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (byte(at + i) & 0x3F);
    }
    return cp;
}

std::string describe_code_point(char32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
    return text;
}

}  // namespace

std::string utf8_to_cp1251(std::string_view utf8) {
    thread_local Converter converter("CP1251", "UTF-8");
    std::string out;
    size_t failed_at = 0;
    if (!converter.convert(utf8, out, failed_at)) {
        const char32_t cp = code_point_at(utf8, failed_at);
        if (cp == 0) throw EncodingError("the text is not valid UTF-8");
        throw EncodingError("the character " + describe_code_point(cp) + " has no Windows-1251 form");
    }
    if (out.find('\0') != std::string::npos) throw EncodingError("the text holds the character U+0000");
    return out;
}

std::string cp1251_to_utf8(std::string_view cp1251) {
    thread_local Converter converter("UTF-8", "CP1251");
    std::string out;
    size_t failed_at = 0;
    if (!converter.convert(cp1251, out, failed_at)) {
        char text[64];
        std::snprintf(text, sizeof text, "the byte 0x%02X is not a Windows-1251 character",
                      static_cast<unsigned char>(cp1251[failed_at]));
        throw EncodingError(text);
    }
    return out;
}

std::string fold_case(std::string_view cp1251) {
    std::string folded(cp1251);
    for (char &c : folded) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0xC0 && byte <= 0xDF) c = static_cast<char>(byte + 0x20);
    }
    return folded;
}

}  // namespace textbase
