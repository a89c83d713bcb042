// Pixel work of the layer animator on 32-bit ARGB pictures: blur, opacity, colour key, and the
// rotation the simpler renderer does on the pixels.
#pragma once
#include "controls/types.h"
#include "platform/image.h"

namespace controls {

// Our blur: a box filter of the given radius run twice in each direction (close to a Gaussian
// of the same reach), on premultiplied colour so transparent pixels do not darken the edges.
// Pixels beyond the edge repeat the edge pixel. Radius 0 leaves the picture as it is.
void BlurImage(platform::TImage& image, int radius);

// Every pixel's alpha becomes alpha × opacity / 255 rounded (opacity < 255); with a key colour,
// a pixel whose red, green and blue each lie within `toler` of the key's is set to all zeros.
void ApplyOpacityAndKey(platform::TImage& image, uint8_t opacity, TColor key, uint8_t toler);

// True when the layer settings need a private copy of the picture for this paint.
inline bool NeedsPixelWork(uint8_t blur, uint8_t opacity, TColor key) {
    return blur != 0 || opacity != 255 || key != clNone;
}

// The picture turned clockwise by `degrees` about its centre into a picture large enough to
// hold it (bilinear sampling); corners outside the source are transparent.
platform::TImage RotateImage(const platform::TImage& image, float degrees);
// The size of RotateImage's result for a picture of that size.
void RotatedSize(int width, int height, float degrees, int& outWidth, int& outHeight);

}  // namespace controls
