#include "controls/numbers.h"

#include <charconv>
#include <cmath>
#include <string>

namespace tessarin {

namespace {

const QChar kCyrillicCapitalE(0x0415);
const QChar kCyrillicSmallE(0x0435);

bool isExponentLetter(QChar c) {
    return c == u'E' || c == u'e' || c == kCyrillicCapitalE || c == kCyrillicSmallE;
}

void replaceFirst(QString &text, QChar what, QChar with) {
    qsizetype at = text.indexOf(what);
    if (at >= 0) text[at] = with;
}

// Brings a half-typed text into the strict form the conversion accepts: a
// point for the comma, "E" for the exponent letter, and a zero exponent for
// one that has only been started.
QString normalised(QString text) {
    replaceFirst(text, u',', u'.');
    if (text.contains(u'e'))
        replaceFirst(text, u'e', u'E');
    else if (text.contains(kCyrillicCapitalE))
        replaceFirst(text, kCyrillicCapitalE, u'E');
    else
        replaceFirst(text, kCyrillicSmallE, u'E');

    const qsizetype n = text.size();
    if (n >= 1 && isExponentLetter(text[n - 1])) {
        text[n - 1] = u'E';
        text += u"+0000";
    } else if (n >= 2 && isExponentLetter(text[n - 2]) && (text[n - 1] == u'+' || text[n - 1] == u'-')) {
        text[n - 2] = u'E';
        text += u"00";
    }
    return text;
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Checks the strict form (blanks, sign, digits with a point, exponent) and
// rewrites it as plain ASCII for the conversion; nothing when the form is
// broken anywhere.
std::optional<std::string> strictForm(const QString &text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ') ++i;
    std::string out;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) out += text[i++] == u'-' ? "-" : "";
    if (i == n) return std::nullopt;
    std::string mantissa;
    while (i < n && isDigit(text[i])) mantissa += static_cast<char>(text[i++].unicode());
    if (i < n && text[i] == u'.') {
        mantissa += '.';
        ++i;
        while (i < n && isDigit(text[i])) mantissa += static_cast<char>(text[i++].unicode());
    }
    // A bare point, or an exponent with no digits before it, stands for zero.
    out += mantissa.find_first_of("0123456789") == std::string::npos ? "0" : mantissa;
    if (i < n && text[i] == u'E') {
        out += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) out += static_cast<char>(text[i++].unicode());
        if (i == n || !isDigit(text[i])) return std::nullopt;
        while (i < n && isDigit(text[i])) out += static_cast<char>(text[i++].unicode());
    }
    if (i != n) return std::nullopt;
    return out;
}

// The scientific form with 15 significant digits: sign position, d.dddddddddddddd,
// "E", exponent sign and four exponent digits.
struct Scientific {
    QString text;
    QString fraction;  // the 14 digits after the point
    int exponent = 0;
};

Scientific scientific(long double value) {
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    std::string digits(buffer, ec == std::errc() ? end : buffer);
    // digits is "d.ddddddddddddddde[+-]x..."
    const std::size_t e = digits.find('e');
    Scientific s;
    s.exponent = std::stoi(digits.substr(e + 1));
    s.fraction = QString::fromLatin1(digits.substr(2, e - 2));
    s.text = QString::fromLatin1(value < 0 ? "-" : " ");
    s.text += QString::fromLatin1(digits.substr(0, e));
    s.text += s.exponent < 0 ? u"E-" : u"E+";
    s.text += QString::number(std::abs(s.exponent)).rightJustified(4, u'0');
    return s;
}

QString fixed(long double value, int decimals) {
    char buffer[128];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? QString::fromLatin1(buffer, end - buffer) : QString();
}

}  // namespace

std::optional<long double> readNumber(const QString &text) {
    if (text.isEmpty()) return 0.0L;
    std::optional<std::string> form = strictForm(normalised(text));
    if (!form) return std::nullopt;
    long double value = 0;
    auto [end, ec] = std::from_chars(form->data(), form->data() + form->size(), value);
    // Out of the extended range is as unreadable as a broken text: a value
    // that cannot be held must not quietly become another.
    if (ec != std::errc() || end != form->data() + form->size()) return std::nullopt;
    return value;
}

QString writeNumber(long double value) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0) value = 0;  // no "-0"
    Scientific s = scientific(value);
    if (s.exponent < -15 || s.exponent > 15) return s.text;
    qsizetype d = s.fraction.size();
    while (d > 0 && s.fraction[d - 1] == u'0') --d;
    const int decimals = d >= s.exponent ? static_cast<int>(d) - s.exponent : 0;
    return fixed(value, decimals);
}

std::optional<int32_t> wholeNumber(long double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const long double whole = std::trunc(value + (value < 0 ? -1e-8L : 1e-8L));
    if (whole != value || whole < INT32_MIN || whole > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(whole);
}

}  // namespace tessarin
