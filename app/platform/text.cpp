#include "platform/text.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>

namespace tessarin {

namespace {

// Windows-1251 is a single-byte code: one character is one byte both ways, so
// lengths carry over and a field can be cut at any byte.
constexpr const char *kCodePage = "windows-1251";

}  // namespace

QString fromBase(const char *text) {
    if (!text) return {};
    return fromBase(text, std::strlen(text));
}

QString fromBase(const char *text, size_t size) {
    if (!text) return {};
    size = static_cast<size_t>(std::find(text, text + size, '\0') - text);
    QStringDecoder decoder(kCodePage);
    return decoder.decode(QByteArrayView(text, static_cast<qsizetype>(size)));
}

bool isRepresentable(const QString &text) {
    QStringEncoder encoder(kCodePage);
    QByteArray bytes = encoder.encode(text);
    return !encoder.hasError();
}

QByteArray toBase(const QString &text) {
    QStringEncoder encoder(kCodePage);
    return encoder.encode(text);
}

void toField(const QString &text, char *field, size_t capacity) {
    if (!field || capacity == 0) return;
    QByteArray bytes = toBase(text);
    size_t length = std::min(static_cast<size_t>(bytes.size()), capacity - 1);
    std::memset(field, 0, capacity);
    std::memcpy(field, bytes.constData(), length);
}

}  // namespace tessarin
