// Where text meets a widget: the records and the libraries hold Windows-1251
// bytes, widgets hold Unicode.  Every conversion goes through here.
#pragma once

#include <QByteArray>
#include <QString>

namespace tessarin {

// Windows-1251 bytes (up to the first zero byte, or `size` bytes) to Unicode.
QString fromBase(const char *text);
QString fromBase(const char *text, size_t size);

// Whether every character of `text` has a Windows-1251 byte.
bool isRepresentable(const QString &text);

// Unicode to Windows-1251 bytes.  Only for representable text: the editors
// refuse other characters as they are typed, so nothing is ever silently
// replaced on its way into a record.
QByteArray toBase(const QString &text);

// Copies `text` into a fixed record field of `capacity` bytes, cut to
// capacity - 1 bytes and zero-filled.
void toField(const QString &text, char *field, size_t capacity);

}  // namespace tessarin
