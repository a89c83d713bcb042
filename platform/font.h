// Font descriptions. The face is chosen in one place: Tahoma where the system has it, else the
// closest sans face the system offers.
#pragma once
#include <cstdint>
#include <string>

#include "platform/image.h"

namespace platform {

// The program's face ("Tahoma", or the fallback sans face on a system without it).
const std::string& DefaultFontFace();

struct TFont {
    // Empty: the program's face. It is looked up only when the font is first measured or drawn,
    // so that making a window's controls (which happens before the offer decision) does not
    // start the font system: a start that ends with "not now" stays cheap.
    std::string Name{};
    // Negative: character (em) height in pixels; positive: cell height including the internal
    // leading, as window fonts are given.
    int Height = -11;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    TArgb Color = MakeArgb(255, 0, 0, 0);

    // The em size in pixels that the drawing backends use.
    float EmPixels() const { return Height < 0 ? float(-Height) : float(Height) * 0.82f; }
    // Points at 96 dots per inch, as a window's font size is given.
    int Size() const { return int((EmPixels() * 72.0f / 96.0f) + 0.5f); }
    void SetSize(int points) { Height = -((points * 96 + 36) / 72); }
    const std::string& Face() const { return Name.empty() ? DefaultFontFace() : Name; }
    bool operator==(const TFont&) const = default;
};

}  // namespace platform
