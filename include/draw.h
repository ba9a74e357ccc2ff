/* The picture codec of Tessarin: a 240 x 240 picture on a raster surface
 * to and from the 7200-byte bit array in which every illustration is stored.
 *
 * The array is row-major, 30 bytes a row; pixel (x, y) lives in byte
 * y * 30 + x / 8 at bit x % 8 (least significant bit leftmost); a set bit
 * is ink (black), a clear bit background (white).
 *
 * The raster surface stands in for a device context: whoever owns an image
 * (the program wraps its Qt images in it, tests use plain memory) supplies
 * the per-pixel read and write.  Colours are 24-bit 0x00RRGGBB values;
 * GetPixel answers RASTER_INVALID_COLOUR for a pixel it does not have.
 * The library keeps no state and never allocates.
 */
#ifndef TESSARIN_DRAW_H
#define TESSARIN_DRAW_H

#include <stdint.h>

#if defined(DRAW_BUILD)
#define DRAW_API __attribute__((visibility("default")))
#else
#define DRAW_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define RASTER_WHITE 0xFFFFFFu
#define RASTER_BLACK 0x000000u
#define RASTER_INVALID_COLOUR 0xFFFFFFFFu

typedef struct RasterSurface {
    void *Context;
    uint32_t (*GetPixel)(void *Context, int X, int Y);
    void (*SetPixel)(void *Context, int X, int Y, uint32_t Colour);
} RasterSurface;

/* The device context of the codec. */
typedef RasterSurface *DrawContext;

DRAW_API void BmpDCToArr(DrawContext DC, uint8_t **Array);
DRAW_API void ArrToBmpDC(uint8_t *Array, DrawContext DC);

#ifdef __cplusplus
}
#endif

#endif
