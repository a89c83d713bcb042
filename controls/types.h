// Basic types of the toolkit: colours, events, mouse messages.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/canvas.h"
#include "platform/window.h"

namespace controls {

using platform::RectWH;
using platform::TArgb;
using platform::TCursor;
using platform::TFont;
using platform::TRect;
using platform::TRectF;

// Colours are ARGB; clNone (an alpha no drawn colour has) means "no colour".
using TColor = uint32_t;
inline constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return platform::MakeArgb(255, r, g, b);
}
inline constexpr TColor clWhite = Rgb(255, 255, 255);
inline constexpr TColor clBlack = Rgb(0, 0, 0);

using platform::TAccessibleNode;
using platform::TAccessibleRole;
using platform::TKey;
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
