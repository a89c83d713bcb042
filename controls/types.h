// Basic types of the toolkit: colours, events, mouse messages.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/canvas.h"
#include "platform/window.h"

namespace controls {

using platform::TArgb;
using platform::TCursor;
using platform::TFont;
using platform::TRectF;

// Colours are ARGB; clNone (an alpha no drawn colour has) means "no colour".
using TColor = uint32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return platform::MakeArgb(255, r, g, b);
}
inline constexpr TColor clWhite = Rgb(255, 255, 255);
inline constexpr TColor clBlack = Rgb(0, 0, 0);

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    TRect Inflated(int d) const { return {Left - d, Top - d, Right + d, Bottom + d}; }
    TRectF ToF() const { return {float(Left), float(Top), float(Width()), float(Height())}; }
    // Union as window rectangles are joined: an empty one adds nothing.
    TRect Union(const TRect& o) const {
        if (o.IsEmpty()) return *this;
        if (IsEmpty()) return o;
        return {std::min(Left, o.Left), std::min(Top, o.Top), std::max(Right, o.Right),
                std::max(Bottom, o.Bottom)};
    }
    bool operator==(const TRect&) const = default;
};
inline TRect RectWH(int l, int t, int w, int h) {
    return {l, t, l + w, t + h};
}

using platform::TMouseButton;
using platform::TShiftState;

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject& sender)>;
using TMouseEvent =
    std::function<void(TObject& sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject& sender, TShiftState shift, int x, int y)>;

inline void Fire(const TNotifyEvent& e, TObject& sender) {
    if (e) e(sender);
}

// What reaches a control's message procedure; coordinates are the control's own.
enum class TMessageKind {
    MouseMove,
    MouseDown,
    MouseUp,
    MouseEnter,
    MouseLeave,
    DoubleClick,
    EraseBackground
};
struct TMessage {
    TMessageKind Kind = TMessageKind::MouseMove;
    TMouseButton Button = TMouseButton::Left;
    TShiftState Shift = 0;
    int X = 0, Y = 0;
    intptr_t Result = 0;
};

}  // namespace controls
