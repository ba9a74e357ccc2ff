// The program's own text form of reals for its editing controls: the reader
// accepts what a user has typed so far (a comma for the point, Cyrillic or
// Latin exponent letters, an exponent not yet finished), the writer gives the
// shortest fixed-point text for ordinary magnitudes and a scientific one
// otherwise.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace tessarin {

// The value of `text`, or nothing when the text is unreadable.  An empty text
// reads as 0.
std::optional<long double> readNumber(const QString &text);

// The value as the editing controls show it: "1234.5", "0.00123",
// " 1.50000000000000E+0020".
QString writeNumber(long double value);

// The whole number that `value` is, if it is one that an integer cell can
// hold (32 bits); only exact whole numbers pass.
std::optional<int32_t> wholeNumber(long double value);

}  // namespace tessarin
