// The picture codec: a 240 x 240 raster surface to and from the packed bit
// array of an illustration.
#include "draw.h"

#include <cstddef>

namespace {

constexpr int kSide = 240;
constexpr int kRowBytes = kSide / 8;

std::size_t byteOf(int x, int y) {
    return static_cast<std::size_t>(y) * kRowBytes + (x >> 3);
}
uint8_t maskOf(int x) {
    return static_cast<uint8_t>(1u << (x & 7));
}

bool inkAt(const uint8_t *array, int x, int y) {
    return (array[byteOf(x, y)] >> (x & 7)) & 1u;
}

void setInk(uint8_t *array, int x, int y, bool ink) {
    if (ink)
        array[byteOf(x, y)] |= maskOf(x);
    else
        array[byteOf(x, y)] &= static_cast<uint8_t>(~maskOf(x));
}

// Both directions visit the pixels column by column, as a device context
// bound to the stored form expects; the order is observable through the
// surface and therefore kept.
template <typename Visit>
void forEachPixel(Visit visit) {
    for (int x = 0; x < kSide; ++x)
        for (int y = 0; y < kSide; ++y) visit(x, y);
}

}  // namespace

extern "C" {

DRAW_API void BmpDCToArr(DrawContext DC, uint8_t **Array) {
    // No surface to read means nothing to store: the array keeps what it had
    // rather than turning into solid ink.
    if (!Array || !*Array || !DC || !DC->GetPixel) return;
    uint8_t *array = *Array;
    forEachPixel([&](int x, int y) { setInk(array, x, y, DC->GetPixel(DC->Context, x, y) != RASTER_WHITE); });
}

DRAW_API void ArrToBmpDC(uint8_t *Array, DrawContext DC) {
    if (!Array || !DC || !DC->SetPixel) return;
    forEachPixel([&](int x, int y) {
        DC->SetPixel(DC->Context, x, y, inkAt(Array, x, y) ? RASTER_BLACK : RASTER_WHITE);
    });
}

}  // extern "C"
