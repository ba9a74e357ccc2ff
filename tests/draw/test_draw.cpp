#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "draw.h"

namespace {

constexpr int kSide = 240;
constexpr std::size_t kBytes = 7200;

// A surface in plain memory; it may be smaller than the picture, and it
// records the order in which the codec visits its pixels.
struct MemorySurface {
    int width = kSide;
    int height = kSide;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kSide * kSide, RASTER_WHITE);
    std::vector<std::pair<int, int>> visits;
    RasterSurface surface{this, &get, &set};

    MemorySurface() = default;
    MemorySurface(int w, int h) : width(w), height(h), pixels(w * h, RASTER_WHITE) {}

    uint32_t &at(int x, int y) { return pixels[y * width + x]; }

    static uint32_t get(void *context, int x, int y) {
        auto *self = static_cast<MemorySurface *>(context);
        self->visits.emplace_back(x, y);
        if (x < 0 || y < 0 || x >= self->width || y >= self->height) return RASTER_INVALID_COLOUR;
        return self->at(x, y);
    }
    static void set(void *context, int x, int y, uint32_t colour) {
        auto *self = static_cast<MemorySurface *>(context);
        self->visits.emplace_back(x, y);
        if (x >= 0 && y >= 0 && x < self->width && y < self->height) self->at(x, y) = colour;
    }
};

using Picture = std::array<uint8_t, kBytes>;

Picture encode(MemorySurface &surface, uint8_t prefill) {
    Picture picture;
    picture.fill(prefill);
    uint8_t *array = picture.data();
    BmpDCToArr(&surface.surface, &array);
    return picture;
}

struct BitCase {
    int x, y;
    std::size_t byte;
    uint8_t value;
};

const BitCase kBitCases[] = {
    {0, 0, 0, 0x01},  {7, 0, 0, 0x80},        {8, 0, 1, 0x01},
    {0, 1, 30, 0x01}, {239, 239, 7199, 0x80}, {13, 100, 3001, 0x20},
};

TEST(Draw, EachPixelOwnsOneBitInBothDirections) {
    for (const BitCase &c : kBitCases) {
        SCOPED_TRACE(testing::Message() << "pixel " << c.x << "," << c.y);
        MemorySurface surface;
        surface.at(c.x, c.y) = RASTER_BLACK;
        // A stale array must be overwritten everywhere, not merely ORed into.
        Picture picture = encode(surface, 0xA5);
        for (std::size_t i = 0; i < kBytes; ++i)
            ASSERT_EQ(picture[i], i == c.byte ? c.value : 0) << "byte " << i;

        MemorySurface painted;
        painted.pixels.assign(painted.pixels.size(), 0x123456);
        ArrToBmpDC(picture.data(), &painted.surface);
        for (int x = 0; x < kSide; ++x)
            for (int y = 0; y < kSide; ++y)
                ASSERT_EQ(painted.at(x, y), (x == c.x && y == c.y) ? RASTER_BLACK : RASTER_WHITE);
    }
}

TEST(Draw, OnlyExactWhiteIsBackground) {
    struct {
        uint32_t colour;
        bool ink;
    } const cases[] = {
        {RASTER_WHITE, false}, {RASTER_BLACK, true}, {0xFEFFFF, true},
        {0xFFFFFE, true},      {0x808080, true},     {RASTER_INVALID_COLOUR, true},
    };
    for (const auto &c : cases) {
        MemorySurface surface;
        surface.at(5, 2) = c.colour;
        EXPECT_EQ(encode(surface, 0)[60], c.ink ? 0x20 : 0x00) << std::hex << c.colour;
    }
}

TEST(Draw, WhiteAndBlackPicturesRoundTrip) {
    MemorySurface white;
    Picture zero = encode(white, 0xFF);
    EXPECT_EQ(zero, Picture{});

    MemorySurface black;
    black.pixels.assign(black.pixels.size(), RASTER_BLACK);
    Picture full;
    full.fill(0xFF);
    EXPECT_EQ(encode(black, 0), full);

    MemorySurface painted;
    painted.pixels.assign(painted.pixels.size(), RASTER_BLACK);
    ArrToBmpDC(zero.data(), &painted.surface);
    EXPECT_EQ(painted.pixels, white.pixels);
}

TEST(Draw, PixelsOutsideASmallSurfaceAreInk) {
    MemorySurface small(100, 50);
    Picture picture = encode(small, 0);
    EXPECT_EQ(picture[0], 0x00);        // inside
    EXPECT_EQ(picture[12], 0xF0);       // x 96..99 inside, 100..103 outside
    EXPECT_EQ(picture[50 * 30], 0xFF);  // first row below the surface
    EXPECT_EQ(picture[29], 0xFF);       // right of the surface
}

TEST(Draw, BothDirectionsVisitColumnByColumn) {
    std::vector<std::pair<int, int>> expected;
    for (int x = 0; x < kSide; ++x)
        for (int y = 0; y < kSide; ++y) expected.emplace_back(x, y);

    MemorySurface read;
    encode(read, 0);
    EXPECT_EQ(read.visits, expected);

    MemorySurface written;
    Picture picture{};
    ArrToBmpDC(picture.data(), &written.surface);
    EXPECT_EQ(written.visits, expected);
}

TEST(Draw, MissingArrayOrSurfaceTouchesNothing) {
    MemorySurface surface;
    surface.at(1, 1) = RASTER_BLACK;
    uint8_t *none = nullptr;
    BmpDCToArr(&surface.surface, &none);
    BmpDCToArr(&surface.surface, nullptr);
    ArrToBmpDC(nullptr, &surface.surface);
    EXPECT_TRUE(surface.visits.empty());
    EXPECT_EQ(surface.at(1, 1), RASTER_BLACK);
    EXPECT_EQ(surface.at(0, 0), RASTER_WHITE);

    // Without a surface the array keeps what it held.
    Picture picture;
    picture.fill(0x5A);
    uint8_t *array = picture.data();
    BmpDCToArr(nullptr, &array);
    ArrToBmpDC(array, nullptr);
    Picture unchanged;
    unchanged.fill(0x5A);
    EXPECT_EQ(picture, unchanged);
}

}  // namespace
